// One-shot binding of the eighteen parameters to their panel controls.
#pragma once

namespace kervano {

void GetPanelValues();
void SetPanelValues();

}  // namespace kervano
