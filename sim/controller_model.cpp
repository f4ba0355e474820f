// The controller's order handling: the parameter stores, the replies and the faults.
#include "sim/controller_model.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

constexpr int kWords = 16;
constexpr uint16_t kSync = 0x0055;
constexpr int kFirmwareWords = 32;  // 64-byte firmware block
constexpr int kBlockWords = 64;     // 128-byte curve block

constexpr uint16_t kFullDefaults[kWords] = {0,   500, 500, 500, 500, 500, 50, 50,
                                            950, 950, 10,  10,  0,   1,   0,  1};
constexpr uint16_t kShortDefaults[kWords] = {1, 0, 0, 100};

// Bytes a garbage-fault reply starts with: no sync word, so a reader cannot mistake them.
constexpr uint8_t kGarbage[] = {0xA5, 0x5A, 0xFF, 0x13, 0x37};

uint16_t wordAt(const uint8_t* bytes, int index) {
    return static_cast<uint16_t>((bytes[2 * index] << 8) | bytes[2 * index + 1]);
}

void appendWord(std::vector<uint8_t>& out, uint16_t word) {
    out.push_back(static_cast<uint8_t>(word >> 8));
    out.push_back(static_cast<uint8_t>(word & 0xFF));
}

std::vector<uint8_t> makeFrame(int order, const uint16_t* payload) {
    std::vector<uint8_t> out;
    out.reserve(kFrameBytes);
    appendWord(out, kSync);
    appendWord(out, static_cast<uint16_t>(order));
    for (int k = 0; k < kWords; ++k) appendWord(out, payload[k]);
    return out;
}

std::vector<uint8_t> rawBlock(const std::vector<uint16_t>& words) {
    std::vector<uint8_t> out;
    out.reserve(words.size() * 2);
    for (uint16_t w : words) appendWord(out, w);
    return out;
}

// Word 0 selects the layout; anything non-zero means the short packet.
int layoutOf(const uint16_t* packet) {
    return packet[0] == 0 ? 0 : 1;
}

void storePacket(uint16_t (&target)[2][kWords], const uint16_t* packet) {
    const int layout = layoutOf(packet);
    uint16_t* slot = target[layout];
    std::fill(slot, slot + kWords, 0);
    slot[0] = static_cast<uint16_t>(layout);
    // The short layout carries three values; the rest of its words stay zero.
    const int count = layout == 0 ? kWords - 1 : 3;
    for (int k = 1; k <= count; ++k) slot[k] = packet[k];
}

}  // namespace

ControllerModel::ControllerModel(Faults f) : faults(std::move(f)) {
    for (auto* store : {&ram, &eeprom}) {
        std::copy(std::begin(kFullDefaults), std::end(kFullDefaults), (*store)[0]);
        std::copy(std::begin(kShortDefaults), std::end(kShortDefaults), (*store)[1]);
        std::fill((*store)[1] + 4, (*store)[1] + kWords, 0);
    }
    keepCorruptWords();
}

void ControllerModel::keepCorruptWords() {
    for (const auto& [word, value] : faults.corruptWords) {
        if (word < 1 || word >= kWords) continue;
        ram[0][word] = value;
        eeprom[0][word] = value;
    }
}

bool ControllerModel::hungUp() const {
    return faults.hangupAfter >= 0 && framesSeen_ >= faults.hangupAfter;
}

Reply ControllerModel::handleFrame(const uint8_t* frame, double now) {
    Reply reply;
    if (frame == nullptr || wordAt(frame, 0) != kSync) return reply;
    if (hungUp()) return reply;
    ++framesSeen_;
    if (faults.silent) return reply;

    const int order = wordAt(frame, 1);
    if (faults.ignoredOrders.count(order) != 0) return reply;
    uint16_t request[kWords];
    for (int k = 0; k < kWords; ++k) request[k] = wordAt(frame + 4, k);

    std::vector<uint8_t> bytes = answer(order, request, now);
    if (bytes.empty()) return reply;

    if (faults.partialBytes >= 0 && static_cast<size_t>(faults.partialBytes) < bytes.size())
        bytes.resize(static_cast<size_t>(faults.partialBytes));
    if (faults.garbage) bytes.insert(bytes.begin(), std::begin(kGarbage), std::end(kGarbage));
    reply.bytes = std::move(bytes);
    reply.delay = std::max(0.0, faults.extraDelay);
    return reply;
}

std::vector<uint8_t> ControllerModel::answer(int order, const uint16_t* request, double now) {
    switch (order) {
        case 1:
            storePacket(ram, request);
            keepCorruptWords();
            return {};
        case 3:
            storePacket(eeprom, request);
            storePacket(ram, request);
            keepCorruptWords();
            return {};
        case 2:
            return makeFrame(2, ram[layoutOf(request)]);
        case 4:
            return makeFrame(4, eeprom[layoutOf(request)]);
        case 5: {
            uint16_t payload[kWords];
            std::copy(request, request + kWords, payload);
            payload[0] = static_cast<uint16_t>(faults.echoWord);
            return makeFrame(5, payload);
        }
        case 6: {
            // Teach: the references become the channels' present normalised values.
            const std::vector<uint16_t> live = monitorWords(now);
            ram[0][4] = live[4];
            ram[0][5] = live[6];
            return makeFrame(6, ram[0]);
        }
        case 7: {
            std::vector<uint16_t> words(kFirmwareWords, 0);
            const size_t length = std::min(firmwareText.size(), size_t{kFirmwareWords - 1});
            for (size_t i = 0; i < length; ++i) words[i] = static_cast<uint8_t>(firmwareText[i]);
            return rawBlock(words);
        }
        case 8: {
            const std::vector<uint16_t> live = monitorWords(now);
            return makeFrame(8, live.data());
        }
        case 9: {
            const int start = request[0];
            if (faults.ignoredBlockStarts.count(start) != 0) return {};
            std::vector<uint16_t> words(kBlockWords, 0);
            if (start == 0 || start == 64 || start == 128 || start == 192) {
                const int channel = start / kCurveLength;
                const int first = start % kCurveLength;
                for (int k = 0; k < kBlockWords; ++k) words[k] = curveWord(channel, first + k, now);
            }
            return rawBlock(words);
        }
        case 10:
            std::memcpy(ram, eeprom, sizeof(ram));
            return makeFrame(10, ram[0]);
        default:
            return {};
    }
}

}  // namespace sim
