// The Help menu's windows: About (version, Qt version, licence) and the keyboard shortcuts.
#pragma once

class QWidget;

namespace kervano {

// Opens the About box over the main panel and returns it (object name "aboutBox").
QWidget* ShowAboutBox();
// Opens (or raises) the list of keyboard shortcuts, read from the panel's menus and buttons,
// and returns it (object name "keyboardShortcuts").
QWidget* ShowKeyboardShortcuts();

}  // namespace kervano
