// Frames as they cross the line, built independently of the code under test: 36 bytes, a
// sync word, an order word and sixteen payload words, every word big-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The frame for order with the given payload words (the rest zero) and sync word.
std::vector<uint8_t> MakeFrame(int order, const std::vector<uint16_t>& payload = {},
                               int sync = 0x55);

// The first count bytes of a run of frames of orders order, order + 1, ..., payload word k
// of each being its order * 256 + k: a frame cut short, a whole one, or more than one, with
// bytes that differ from place to place so a lost or shifted byte shows.
std::vector<uint8_t> FrameBytes(int order, size_t count = 36);

// Words as big-endian bytes: a raw block as the controller sends it.
std::vector<uint8_t> WordBytes(const std::vector<uint16_t>& words);

// The big-endian word at word index i of bytes (counting the frame's header words).
uint16_t WordAt(const std::vector<uint8_t>& bytes, size_t i);
// Payload word k of a frame.
inline uint16_t PayloadWord(const std::vector<uint8_t>& frame, size_t k) {
    return WordAt(frame, 2 + k);
}

// The bytes of a followed by those of b.
std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b);
