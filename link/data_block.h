// Data blocks: the two 128-word curves arrive as four 64-word blocks (order 9).
#pragma once

namespace kervano {

constexpr int kCurveWords = 256;
extern unsigned short yArrayA[kCurveWords];  // TOP curve, words 0-127 used
extern unsigned short yArrayB[kCurveWords];  // BOT curve, words 0-127 used

// One block request; returns 64 when a complete block of 128 bytes was read, else 0.
int ReadData64(int startIndex, int second, int orderCode);

}  // namespace kervano
