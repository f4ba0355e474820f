// The COM selector's items: one per entry of the port table.
#pragma once

namespace kervano {

// Lists the port table in PANEL_DROPDCOM, showing COM1 (the port start-up opens).
void FillPortSelector();

}  // namespace kervano
