#include "tests/support/frames.h"

#include <utility>

namespace {

void AppendWord(std::vector<uint8_t>& out, int word) {
    out.push_back(static_cast<uint8_t>((word >> 8) & 0xFF));
    out.push_back(static_cast<uint8_t>(word & 0xFF));
}

}  // namespace

std::vector<uint8_t> MakeFrame(int order, const std::vector<uint16_t>& payload, int sync) {
    std::vector<uint8_t> frame;
    frame.reserve(36);
    AppendWord(frame, sync);
    AppendWord(frame, order);
    for (size_t k = 0; k < 16; ++k) AppendWord(frame, k < payload.size() ? payload[k] : 0);
    return frame;
}

std::vector<uint8_t> FrameBytes(int order, size_t count) {
    std::vector<uint8_t> bytes;
    for (int next = order; bytes.size() < count; ++next) {
        std::vector<uint16_t> payload(16);
        for (size_t k = 0; k < payload.size(); ++k)
            payload[k] = static_cast<uint16_t>((next << 8) + static_cast<int>(k));
        bytes = Concat(std::move(bytes), MakeFrame(next, payload));
    }
    bytes.resize(count);
    return bytes;
}

std::vector<uint8_t> WordBytes(const std::vector<uint16_t>& words) {
    std::vector<uint8_t> bytes;
    bytes.reserve(2 * words.size());
    for (uint16_t word : words) AppendWord(bytes, word);
    return bytes;
}

uint16_t WordAt(const std::vector<uint8_t>& bytes, size_t i) {
    return static_cast<uint16_t>((bytes.at(2 * i) << 8) | bytes.at(2 * i + 1));
}

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
