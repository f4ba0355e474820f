// The main panel's handle, for every layer that draws on the panel; start-up loads the
// panel and sets it (-1 while no panel exists, as in the headless modes).
#pragma once

namespace kervano {

extern int panelHandle;

}  // namespace kervano
