// The parameter set: eighteen unsigned 16-bit parameters, and the transfer target.
#pragma once

namespace kervano {

extern unsigned short powerTOP, powerBOT, powerDIG;
extern unsigned short refTOP, refBOT;
extern unsigned short tolTOP, tolBOT;
extern unsigned short trigTOP, trigBOT;
extern unsigned short hystTOP, hystBOT;
extern unsigned short evalmode, hwmode, maxmode, polarity;
extern unsigned short digcnt, digmode, hold;

// Target codes.
constexpr int RAM = 1;
constexpr int EEPROM = 2;
constexpr int DATFILE = 3;
extern int target;

// Stores the defaults into the parameters (maxmode, digcnt and digmode are left alone).
void SetParameterDefaults();

}  // namespace kervano
