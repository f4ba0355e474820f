// Controller > Compare... (F7): reads RAM and EEPROM as Get does and shows them beside the
// panel's fields, the defaults and a parameter file, in a window of its own. Nothing the
// panel or the program holds changes until a column is taken into the panel.
#pragma once

namespace kervano {

// Adds the item to the Controller menu; once the panel's menus are installed.
void InstallCompareCommand();
// Reads both memories and shows the window; does nothing while a Compare is still reading.
void CompareWithController();

}  // namespace kervano
