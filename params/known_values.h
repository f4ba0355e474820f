// What the tool last knows the controller to hold, for RAM and for EEPROM: the two packets
// as they last travelled (read, or written whole), each known or not. A record beside the
// parameter variables, never instead of them: the variables, the frames and the order of
// steps do not depend on it. The panel compares its fields with it.
#pragma once

namespace kervano {

constexpr int kKnownPacketWords = 16;

struct KnownMemory {
    bool known[2] = {false, false};  // [0] the full packet, [1] the short packet
    unsigned short words[2][kKnownPacketWords] = {};
};

extern KnownMemory knownRam;
extern KnownMemory knownEeprom;

// The record of a target code; nullptr for the file target.
KnownMemory* KnownMemoryOf(int targetCode);
// A packet (flag 0 full, 1 short) that was read from targetCode, or written to it whole.
void RecordPacket(int targetCode, int flag, const unsigned short* words);
// A write to targetCode that did not go out whole, or an order whose effect on it is not
// known: nothing is known of that memory any more.
void ForgetMemory(int targetCode);
// The controller copied its EEPROM into RAM (an acknowledged Reset).
void RecordRamFromEeprom();
// Forgets both memories (another port, another controller).
void ForgetController();

// Both packets of memory are known.
bool MemoryKnown(const KnownMemory& memory);
// The value of parameter index (kParameterTable order) in memory; false when the packet
// that carries it is not known.
bool KnownParameter(const KnownMemory& memory, int index, unsigned short* value);
// Parameters (kParameterTable order) whose values differ between a and b, counted only
// where both are known.
int CountDifferences(const KnownMemory& a, const KnownMemory& b);

// Called after every change of the record; the panel marks follow it. One listener.
using KnownValuesListener = void (*)();
void SetKnownValuesListener(KnownValuesListener listener);

}  // namespace kervano
