#include "params/param_table.h"

#include "params/param_set.h"

namespace kervano {

const ParameterEntry kParameterTable[kParameterCount] = {
    {"powerTOP", &powerTOP, 0, 1}, {"powerBOT", &powerBOT, 0, 2}, {"powerDIG", &powerDIG, 0, 3},
    {"refTOP", &refTOP, 0, 4},     {"refBOT", &refBOT, 0, 5},     {"tolTOP", &tolTOP, 0, 6},
    {"tolBOT", &tolBOT, 0, 7},     {"trigTOP", &trigTOP, 0, 8},   {"trigBOT", &trigBOT, 0, 9},
    {"hystTOP", &hystTOP, 0, 10},  {"hystBOT", &hystBOT, 0, 11},  {"evalmode", &evalmode, 0, 12},
    {"hwmode", &hwmode, 0, 13},    {"maxmode", &maxmode, 0, 14},  {"polarity", &polarity, 0, 15},
    {"digcnt", &digcnt, 1, 1},     {"digmode", &digmode, 1, 2},   {"hold", &hold, 1, 3},
};

}  // namespace kervano
