// The eighteen parameters by name, in packet order: words 1-15 of the full packet, then
// words 1-3 of the short packet. For texts that name parameters (a verify report, the
// parameter set written beside a capture).
#pragma once

namespace kervano {

struct ParameterEntry {
    const char* name;  // the variable's name, "refTOP"
    unsigned short* variable;
    int flag;  // the packet that carries it: 0 full, 1 short
    int word;  // its word in that packet
};

constexpr int kParameterCount = 18;
extern const ParameterEntry kParameterTable[kParameterCount];

}  // namespace kervano
