#include "link/packet.h"

#include "link/frame.h"
#include "params/param_set.h"

namespace kervano {

namespace {
// Words 1-15 of the full packet, in order.
unsigned short* const kFullPacket[] = {
    &powerTOP, &powerBOT, &powerDIG, &refTOP,   &refBOT, &tolTOP,  &tolBOT,   &trigTOP,
    &trigBOT,  &hystTOP,  &hystBOT,  &evalmode, &hwmode, &maxmode, &polarity,
};
// Words 1-3 of the short packet.
unsigned short* const kShortPacket[] = {&digcnt, &digmode, &hold};
constexpr int kFullWords = sizeof(kFullPacket) / sizeof(kFullPacket[0]);
constexpr int kShortWords = sizeof(kShortPacket) / sizeof(kShortPacket[0]);

bool IsFullLayout(int flag) {
    return (flag & 0xFFFF) == 0;
}
}  // namespace

void CopyVarsToPP(int flag) {
    pp[0] = static_cast<unsigned short>(flag & 0xFFFF);
    if (IsFullLayout(flag)) {
        for (int i = 0; i < kFullWords; ++i) pp[1 + i] = *kFullPacket[i];
        return;
    }
    for (int i = 0; i < kShortWords; ++i) pp[1 + i] = *kShortPacket[i];
    for (int k = 1 + kShortWords; k < PNUM; ++k) pp[k] = 0;
}

void CopyPPtoVars(int flag) {
    if (IsFullLayout(flag)) {
        for (int i = 0; i < kFullWords; ++i) *kFullPacket[i] = pp[1 + i];
        return;
    }
    for (int i = 0; i < kShortWords; ++i) *kShortPacket[i] = pp[1 + i];
}

}  // namespace kervano
