// Byte patterns for the serial-line tests.
#pragma once

#include <cstddef>
#include <vector>

// 36-byte frames as the controller sends them: sync byte first, then a counting pattern.
inline std::vector<unsigned char> TestFrame(unsigned char seed, size_t size = 36) {
    std::vector<unsigned char> frame(size);
    for (size_t i = 0; i < size; ++i) frame[i] = static_cast<unsigned char>(seed + i);
    if (size > 0) frame[0] = 0x55;
    return frame;
}
