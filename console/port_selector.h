// The COM selector's items: one per entry of the port table.
#pragma once

namespace kervano {

// Lists the port table in PANEL_DROPDCOM with the port in use (com) selected; a port in
// use that has no device behind it is listed as such, so the selector never shows
// another port than the one in use.
void FillPortSelector();
// The selector's last item, "Add network port...": asks for an address, not a COM number.
constexpr int kAddNetworkPortItem = 0;
// Asks for a device server's address (tcp://HOST:PORT, rfc2217://HOST:PORT), pins it to a
// COM number, remembers it for the next start and lists it. Returns the number, 0 when the
// operator cancelled or the address is not one.
int AskNetworkPort();

// Lists the table again if its devices changed since the last listing (an adapter plugged
// in or pulled out). Returns true when it did.
bool RefreshPortSelector();

}  // namespace kervano
