#include "scope/last_capture.h"

namespace kervano {

namespace {
CaptureRecord lastCapture;
bool captured = false;
CaptureListener captureListener = nullptr;

void Tell() {
    if (captureListener != nullptr) captureListener(captured);
}
}  // namespace

void RememberCapture(std::time_t time) {
    lastCapture = RecordCapture(time);
    captured = true;
    Tell();
}

void ForgetCapture() {
    captured = false;
    Tell();
}

const CaptureRecord* LastCapture() {
    return captured ? &lastCapture : nullptr;
}

void SetCaptureListener(CaptureListener newListener) {
    captureListener = newListener;
}

}  // namespace kervano
