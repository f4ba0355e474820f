// What the operator is told about each parameter (kParameterTable order): what the tool
// does with it, its default, and the range it usually takes. Nothing here limits a value:
// every parameter passes between panel, packet and file as the same 16 bits.
#pragma once

#include <string>

namespace kervano {

struct ParameterInfo {
    const char* role;       // "reference line of the TOP graph"; "carried unchanged"
    unsigned short defaultValue;  // as start-up's defaults (0 where start-up sets none)
    bool perMille;          // on the normalised 0..1000 scale
};

extern const ParameterInfo kParameterInfo[];  // kParameterCount entries

constexpr unsigned short kPerMilleMax = 1000;

// True when value lies outside the range the parameter usually takes (per mille above
// 1000); shown in a warning style, never clipped.
bool OutsideUsualRange(int index, unsigned short value);
// The field's description: its name as in the CSV, its packet word, its role, default and
// the range it accepts.
std::string ParameterDescription(int index);
// The defaults of all eighteen, in kParameterTable order.
void DefaultParameterValues(unsigned short* values);

}  // namespace kervano
