// The COM selector's items: one per entry of the port table.
#pragma once

namespace kervano {

// Lists the port table in PANEL_DROPDCOM with the port in use (com) selected; a port in
// use that has no device behind it is listed as such, so the selector never shows
// another port than the one in use.
void FillPortSelector();
// Lists the table again if its devices changed since the last listing (an adapter plugged
// in or pulled out). Returns true when it did.
bool RefreshPortSelector();

}  // namespace kervano
