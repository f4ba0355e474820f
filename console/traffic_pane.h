// View > Traffic: the line's traffic in a pane docked in the main window below the panel's
// controls, named in the device link's words.
#pragma once

class QWidget;

namespace kervano {

// Adds the checkable View item (Ctrl+T) and the hidden pane it shows; once the panel's
// menus are installed.
void InstallTrafficMenu();
// The pane of the current panel, null before InstallTrafficMenu and once the panel is gone.
QWidget* TrafficPane();

}  // namespace kervano
