// What the tool remembers between runs: the port last chosen (by its device path, since
// numbers change as adapters come and go), the display mode, the window's size and position,
// the folder of the last export, and whether the traffic pane was open; kept in the settings
// store (platform/files/settings_store.h), beside the parameter file's folder.
#pragma once

#include <string>

#include "platform/files/settings_store.h"

namespace kervano {

// At start-up, once the panels are loaded and before the port selector is filled. Start-up
// always opens COM1, so the remembered device becomes COM1 when it is present and the command
// line pinned no port; otherwise the ports are numbered as usual. Also restores the display
// mode and the window's geometry (a first start opens on the screen's available area, most
// of it on a large screen; a remembered place is brought onto the screen if it left it), and
// from then on saves the port and the mode whenever the operator changes them.
void RestoreSettings();
// Once the panel is shown: reopens the traffic pane when it was open as the tool last ended.
void RestorePanes();
// At shutdown, while the panel still exists: the window's size and position, the panes.
void SaveSettings();

// Adds a network port's address to those pinned at every start (after the remembered port).
void RememberNetworkPort(const std::string& address);

// The folder the export dialogs open in: that of the last export, else ParamFileFolder().
std::string ExportFolder();
// Remembers the folder of an export file the operator has just chosen.
void RememberExportFile(const char* path);

}  // namespace kervano
