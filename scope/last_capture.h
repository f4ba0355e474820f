// The last data capture, kept for export as it stood when the capture ended: its samples,
// which blocks arrived, its lines, its time and the parameter set it was drawn with. Later
// parameter changes do not alter it.
#pragma once

#include <ctime>

#include "scope/capture_csv.h"

namespace kervano {

// Takes the capture that the curves, dataBlockOk and the parameter variables hold now;
// the capture command calls it when it has drawn the graphs. A capture in which no block
// arrived counts too: its samples are the empty cells of the export.
void RememberCapture(std::time_t time);
// Start-up: no capture yet.
void ForgetCapture();
// The last capture, or null before the first.
const CaptureRecord* LastCapture();

// Told whenever a capture is remembered or forgotten (the export command's enabled state).
using CaptureListener = void (*)(bool available);
void SetCaptureListener(CaptureListener listener);

}  // namespace kervano
