// Frame alignment as the controller does it: bytes pile up into 36-byte frames, and a pause
// in the stream throws away an incomplete frame, so garbage or a cut frame costs one frame.
#include "sim/controller_model.h"

namespace sim {

std::vector<std::vector<uint8_t>> FrameAssembler::feed(const uint8_t* bytes, size_t count,
                                                       double now) {
    std::vector<std::vector<uint8_t>> frames;
    if (!buffer_.empty() && last_ >= 0.0 && now - last_ > gap_) buffer_.clear();
    if (bytes == nullptr || count == 0) return frames;
    last_ = now;
    for (size_t i = 0; i < count; ++i) {
        buffer_.push_back(bytes[i]);
        if (buffer_.size() == kFrameBytes) {
            frames.push_back(std::move(buffer_));
            buffer_.clear();
        }
    }
    return frames;
}

}  // namespace sim
