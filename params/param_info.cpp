#include "params/param_info.h"

#include "params/param_table.h"

namespace kervano {

const ParameterInfo kParameterInfo[kParameterCount] = {
    {"power setting of the TOP channel; carried unchanged", 500, false},
    {"power setting of the BOT channel; carried unchanged", 500, false},
    {"power setting DIG; carried unchanged", 500, false},
    {"reference value of the TOP channel; middle line of the TOP data graph", 500, true},
    {"reference value of the BOT channel; middle line of the BOT data graph", 500, true},
    {"tolerance of the TOP channel; TOP line refTOP + tolTOP", 50, true},
    {"tolerance of the BOT channel; BOT line refBOT - tolBOT", 50, true},
    {"trigger level of the TOP channel; carried unchanged", 950, true},
    {"trigger level of the BOT channel; carried unchanged", 950, true},
    {"hysteresis of the TOP channel; TOP line refTOP - hystTOP", 10, true},
    {"hysteresis of the BOT channel; BOT line refBOT + hystBOT", 10, true},
    {"carried unchanged", 0, false},
    {"carried unchanged", 1, false},
    {"carried unchanged", 0, false},
    {"carried unchanged", 1, false},
    {"carried unchanged", 0, false},
    {"carried unchanged", 0, false},
    {"carried unchanged", 100, false},
};

bool OutsideUsualRange(int index, unsigned short value) {
    return index >= 0 && index < kParameterCount && kParameterInfo[index].perMille &&
           value > kPerMilleMax;
}

std::string ParameterDescription(int index) {
    const ParameterEntry& entry = kParameterTable[index];
    const ParameterInfo& info = kParameterInfo[index];
    std::string text = std::string(entry.name) + " - " +
                       (entry.flag == 0 ? "full" : "short") + " packet word " +
                       std::to_string(entry.word) + "\n" + info.role + "\nDefault " +
                       std::to_string(info.defaultValue) + "; accepts 0..65535";
    if (info.perMille) text += " (usually 0..1000, per mille)";
    return text;
}

void DefaultParameterValues(unsigned short* values) {
    for (int p = 0; p < kParameterCount; ++p) values[p] = kParameterInfo[p].defaultValue;
}

}  // namespace kervano
