// File menu commands that take data out of the tool: the last capture as CSV, the charts
// as PNG (at the panel's resolution or twice it) and the recording of the live monitor.
#pragma once

namespace kervano {

// Adds the commands to the File menu; once the menu bar is installed.
void InstallExportCommands();

}  // namespace kervano
