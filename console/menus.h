// The main panel's menu bar: File, Controller, View and Help.
//
// Controller commands go through the command buttons' own callbacks with the event the
// keyboard gives (commit), and each item is available exactly when its button is: a dimmed
// frame dims its items and silences their shortcuts. Shortcuts (F5 Run, Esc and Shift+F5
// Stop, F6 Data, ...) work wherever the focus is in the panel's window; the buttons keep
// their mnemonics.
#pragma once

class QAction;
class QMenu;

namespace kervano {

enum PanelMenuId { MENU_FILE, MENU_CONTROLLER, MENU_VIEW, MENU_HELP };

// Puts the menu bar on the main panel; once the panel is loaded and its callbacks installed.
void InstallPanelMenus();

// A menu of the bar, for features that bring commands of their own; null before
// InstallPanelMenus and once the panel is gone.
QMenu* PanelMenu(PanelMenuId menu);
// Adds a feature's command to a menu at the place for added commands (in File above Quit,
// elsewhere at the end); its shortcut works wherever the focus is in the panel's window.
void AddPanelMenuAction(PanelMenuId menu, QAction* action);

}  // namespace kervano
