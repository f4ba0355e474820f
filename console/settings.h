// What the tool remembers between runs: the port last chosen (by its device path, since
// numbers change as adapters come and go), the display mode, the window's size and position,
// and the folder of the last parameter file. Kept in Qt's settings store under organisation
// "kervano", application "kervano-scope"; the environment variable KERVANO_SCOPE_SETTINGS
// names a file to keep them in instead (tests, a portable set-up).
#pragma once

#include <string>

namespace kervano {

constexpr const char* kSettingsFileVariable = "KERVANO_SCOPE_SETTINGS";

// At start-up, once the panels are loaded and before the port selector is filled. Start-up
// always opens COM1, so the remembered device becomes COM1 when it is present and the command
// line pinned no port; otherwise the ports are numbered as usual. Also restores the display
// mode and the window's geometry, and from then on saves the port and the mode whenever the
// operator changes them.
void RestoreSettings();
// At shutdown, while the panel still exists: the window's size and position.
void SaveSettings();

// The folder the parameter-file dialog opens in: the folder of the last parameter file; else
// the program's directory (proj_dir) when it is writable and no system folder; else the
// user's documents folder. An installed program never offers its own folder for saving.
std::string ParamFileFolder();
// Remembers the folder of a parameter file the operator has just chosen.
void RememberParamFile(const char* path);

}  // namespace kervano
