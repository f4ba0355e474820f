// The monitor history and value display: sixteen monitor words per reply, a scrolling
// history of 100 pairs per channel, the strip charts and the read-outs.
#pragma once

namespace kervano {

constexpr int kHistoryValues = 200;
// The raw pairs of the last 100 replies, oldest first (see monitor_traces.h for the others).
extern double arrayRAWTOP[kHistoryValues];
extern double arrayRAWBOT[kHistoryValues];

extern unsigned short rawTop1, rawTop2, rawBot1, rawBot2;
extern unsigned short normTop1, normTop2, normBot1, normBot2;
extern unsigned short maxTop1, maxTop2, maxBot1, maxBot2;
extern unsigned short cntTRUV, in2cnt, inputs, indexA;

constexpr int kMaxIndexA = 128;
constexpr int kShiftBadCount = -20003;
constexpr int kShiftTooFar = -20102;

// Takes the reply in pp into the histories, the read-outs, the strip charts and the lamps.
void PlotRAWValues();
// Fills every pair of the histories (both units) with a, b for TOP and c, d for BOT: none of
// them counts as received, so the strip charts draw none of them.
void FillarrayRAW(int a, int b, int c, int d);
int Shift(const double* input, int n, int shifts, double* output);
int Copy1D(const double* input, int n, double* output);

}  // namespace kervano
