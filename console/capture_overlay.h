// View > Keep as overlay and Clear overlay: the capture the graphs show (the last one, or
// an opened file while it is shown) kept under the next captures.
#pragma once

namespace kervano {

// Adds both commands to the View menu; once the menu bar is installed.
void InstallOverlayCommands();

}  // namespace kervano
