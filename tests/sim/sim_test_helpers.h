// Helpers for the emulator tests: request frames and big-endian words.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace simtest {

// A 36-byte request: sync 0x0055, the order, the given payload words (the rest zero).
inline std::vector<uint8_t> request(int order, std::initializer_list<uint16_t> words = {}) {
    std::vector<uint8_t> frame = {0x00, 0x55, static_cast<uint8_t>(order >> 8),
                                  static_cast<uint8_t>(order & 0xFF)};
    int k = 0;
    for (uint16_t w : words) {
        frame.push_back(static_cast<uint8_t>(w >> 8));
        frame.push_back(static_cast<uint8_t>(w & 0xFF));
        ++k;
    }
    for (; k < 16; ++k) {
        frame.push_back(0);
        frame.push_back(0);
    }
    return frame;
}

// The big-endian word at word index i of bytes (not counting any header).
inline uint16_t wordAt(const std::vector<uint8_t>& bytes, size_t i) {
    return static_cast<uint16_t>((bytes.at(2 * i) << 8) | bytes.at(2 * i + 1));
}

// Payload word k of a 36-byte frame.
inline uint16_t payload(const std::vector<uint8_t>& frame, size_t k) {
    return wordAt(frame, 2 + k);
}

}  // namespace simtest
