#include "scope/last_capture.h"

namespace kervano {

namespace {
CaptureRecord lastCapture;
bool captured = false;
CaptureListener listener = nullptr;

void Tell() {
    if (listener != nullptr) listener(captured);
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
    listener = newListener;
}

}  // namespace kervano
