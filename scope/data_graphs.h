// The data graphs: a captured 128-point curve against its limit and reference lines, with
// a cursor on the sample indexA names.
#pragma once

#include "scope/capture_csv.h"

namespace kervano {

constexpr int kXPositions = 256;
extern unsigned short xArray[kXPositions];  // entry i = i + 1

constexpr const char* kGraphCaption = "NORM=1000*(A/Amax)";

// halvesReceived, when given, says for samples 0-63 and 64-127 of data whether they were
// received (non-zero); a half that was not is not drawn, and nor is a cursor on it.
void PlotDATATop(const unsigned short* data, const unsigned short* up, const unsigned short* lo,
                 const unsigned short* ref, const int* halvesReceived = nullptr);
void PlotDATABot(const unsigned short* data, const unsigned short* up, const unsigned short* lo,
                 const unsigned short* ref, const int* halvesReceived = nullptr);

// Draws a recorded capture in both graphs with the record's own lines, not those of the
// parameter variables, under caption and without a cursor (a record holds no index).
void PlotCaptureRecord(const CaptureRecord& record, const char* caption);

}  // namespace kervano
