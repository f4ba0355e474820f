// The Compare window beside the panel, not modal: one row per parameter with its value in
// the panel's fields, RAM, EEPROM, as default and in a chosen parameter file. A value that
// differs from its row's reference is bold, tinted and starred, and the row's note says
// which sources differ. Buttons choose the file and take a whole column into the panel's
// fields (the variables stay: the values are then edits not yet sent).
#pragma once

#include <functional>

#include "console/compare_table.h"

namespace kervano {

// Shows the window with RAM and EEPROM as just read; the panel, default and file columns
// are filled as they stand now. readAgain is the window's "Read again".
void ShowCompareWindow(const CompareColumn& ram, const CompareColumn& eeprom,
                       std::function<void()> readAgain);

}  // namespace kervano
