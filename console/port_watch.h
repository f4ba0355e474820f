// Keeps the COM selector current while the tool runs.
#pragma once

namespace kervano {

// Every two seconds, lists the port table again if it changed, unless the operator has
// the selector open.
void StartPortWatch();

}  // namespace kervano
