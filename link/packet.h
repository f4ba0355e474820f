// The parameter packet: the eighteen parameters travel in pp in two layouts, told apart by
// word 0: the full packet (0) with fifteen of them, the short packet (1) with the other three.
#pragma once

namespace kervano {

// Packs the variables into pp: the full layout for flag 0, the short one otherwise.
void CopyVarsToPP(int flag);
// Unpacks pp into the variables of the layout the caller names; word 0 is not examined.
void CopyPPtoVars(int flag);

}  // namespace kervano
