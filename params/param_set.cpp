#include "params/param_set.h"

namespace kervano {

unsigned short powerTOP, powerBOT, powerDIG;
unsigned short refTOP, refBOT;
unsigned short tolTOP, tolBOT;
unsigned short trigTOP, trigBOT;
unsigned short hystTOP, hystBOT;
unsigned short evalmode, hwmode, maxmode, polarity;
unsigned short digcnt, digmode, hold;

int target = RAM;

void SetParameterDefaults() {
    powerTOP = powerBOT = powerDIG = 500;
    refTOP = refBOT = 500;
    tolTOP = tolBOT = 50;
    hystTOP = hystBOT = 10;
    polarity = 1;
    hold = 100;
    hwmode = 1;
    evalmode = 0;
    trigTOP = trigBOT = 950;
}

}  // namespace kervano
