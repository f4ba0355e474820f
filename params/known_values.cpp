#include "params/known_values.h"

#include <algorithm>

#include "params/param_set.h"
#include "params/param_table.h"

namespace kervano {

KnownMemory knownRam;
KnownMemory knownEeprom;

namespace {
KnownValuesListener knownValuesListener = nullptr;

void Changed() {
    if (knownValuesListener != nullptr) knownValuesListener();
}

int PacketOf(int flag) {
    return (flag & 0xFFFF) == 0 ? 0 : 1;
}
}  // namespace

KnownMemory* KnownMemoryOf(int targetCode) {
    if (targetCode == RAM) return &knownRam;
    if (targetCode == EEPROM) return &knownEeprom;
    return nullptr;
}

void RecordPacket(int targetCode, int flag, const unsigned short* words) {
    KnownMemory* memory = KnownMemoryOf(targetCode);
    if (memory == nullptr) return;
    const int packet = PacketOf(flag);
    std::copy(words, words + kKnownPacketWords, memory->words[packet]);
    memory->known[packet] = true;
    Changed();
}

void ForgetMemory(int targetCode) {
    KnownMemory* memory = KnownMemoryOf(targetCode);
    if (memory == nullptr) return;
    *memory = KnownMemory{};
    Changed();
}

void RecordRamFromEeprom() {
    knownRam = knownEeprom;
    Changed();
}

void ForgetController() {
    knownRam = KnownMemory{};
    knownEeprom = KnownMemory{};
    Changed();
}

bool MemoryKnown(const KnownMemory& memory) {
    return memory.known[0] && memory.known[1];
}

bool KnownParameter(const KnownMemory& memory, int index, unsigned short* value) {
    if (index < 0 || index >= kParameterCount) return false;
    const ParameterEntry& entry = kParameterTable[index];
    if (!memory.known[entry.flag]) return false;
    *value = memory.words[entry.flag][entry.word];
    return true;
}

int CountDifferences(const KnownMemory& a, const KnownMemory& b) {
    int count = 0;
    for (int p = 0; p < kParameterCount; ++p) {
        unsigned short x = 0, y = 0;
        if (KnownParameter(a, p, &x) && KnownParameter(b, p, &y) && x != y) ++count;
    }
    return count;
}

void SetKnownValuesListener(KnownValuesListener newListener) {
    knownValuesListener = newListener;
}

}  // namespace kervano
