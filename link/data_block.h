// Data blocks: the two 128-word curves arrive as four 64-word blocks (order 9).
#pragma once

namespace kervano {

constexpr int kCurveWords = 256;
extern unsigned short yArrayA[kCurveWords];  // TOP curve, words 0-127 used
extern unsigned short yArrayB[kCurveWords];  // BOT curve, words 0-127 used

// Per block of a capture (start index 0, 64, 128, 192): 1 once it was received whole and
// stored, 0 while its words are missing. Curve words of a missing block are 0 and must not
// be shown as measured.
constexpr int kDataBlocks = 4;
extern int dataBlockOk[kDataBlocks];

constexpr double kBlockTimeout = 1.5;
// After a block time-out, a late block is drained until the line has been quiet this long
// (a few bytes' times at 19200 baud, well above any gap inside a block), for at most
// kLateBlockDrain more: a block read takes at most the sum of the three.
constexpr double kLateBlockQuiet = 0.25;
constexpr double kLateBlockDrain = 0.5;

// One block request; returns 64 when a complete block of 128 bytes was read, else 0.
int ReadData64(int startIndex, int second, int orderCode);
// Starts a capture afresh: both curves zero, no block received. Nothing of an earlier
// capture can then pass for new data.
void ClearDataCurves();
// Number of blocks of the current capture received whole (0 to 4).
int DataBlocksReceived();

}  // namespace kervano
