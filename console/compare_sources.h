// Where Compare's columns come from, and the way back: a column taken into the panel's
// fields.
#pragma once

#include <string>

#include "console/compare_table.h"

namespace kervano {

// The panel's eighteen fields as they stand (edits not yet sent included).
CompareColumn PanelColumn();
CompareColumn DefaultColumn();
// The parameter file at path, the full packet's fifteen; "" in refusal when it was read,
// else the status text that says why not (the column is then not shown).
CompareColumn FileColumn(const std::string& path, std::string& refusal);

// Reads both packets from RAM, then both from EEPROM, with the requests Get sends (orders
// 2 and 4, the full packet before the short one). A packet that timed out leaves its
// parameters unknown, and the status line then says that parameters were not read. The
// parameter variables are as before afterwards: Compare shows, it does not load. Returns
// true when all four replies came.
bool ReadControllerColumns(CompareColumn& ram, CompareColumn& eeprom);

// Puts the column's known values on the panel's fields, the others unchanged, without
// touching the variables: to the rest of the tool they are edits not yet sent.
void TakeIntoPanel(const CompareColumn& column);

}  // namespace kervano
