#include "platform/serial/traffic_tap.h"

#include <algorithm>
#include <vector>

#include "platform/serial/com_service.h"

namespace traffic_detail {
TrafficListener listener = nullptr;
}  // namespace traffic_detail

namespace {

void* listenerData = nullptr;

// A flush keeps only this much for the listener; the rest goes unseen, as it goes unread.
constexpr int kMaxFlushedBytes = 65536;

void Report(TrafficKind kind, int port, int requested, int result, const char* bytes, int count) {
    if (traffic_detail::listener == nullptr) return;
    const TrafficEvent event{kind,
                             port,
                             ActiveComService().timer(),
                             requested,
                             result,
                             reinterpret_cast<const uint8_t*>(bytes),
                             count > 0 && bytes != nullptr ? count : 0};
    traffic_detail::listener(event, listenerData);
}

}  // namespace

void SetTrafficListener(TrafficListener listener, void* data) {
    traffic_detail::listener = listener;
    listenerData = listener != nullptr ? data : nullptr;
}

void TapComWrite(int port, const char* buffer, int requested, int written) {
    Report(TrafficKind::Written, port, requested, written, buffer, requested);
}

void TapComRead(int port, const char* buffer, int requested, int read) {
    Report(TrafficKind::Read, port, requested, read, buffer, read);
}

void TapSetAside(int port, const unsigned char* bytes, int count, int reason) {
    Report(TrafficKind::SetAside, port, reason, count, reinterpret_cast<const char*>(bytes),
           count);
}

void TapFlushIn(int port) {
    ComService& service = ActiveComService();
    std::vector<char> taken;
    // A wait of no time for no bytes tells what waits now without moving any clock; a read
    // of exactly that many returns at once. Bytes landing meanwhile are taken too.
    for (int turn = 0; turn < 4; ++turn) {
        const int waiting = service.waitForInput(port, 0, 0.0);
        const int room = kMaxFlushedBytes - static_cast<int>(taken.size());
        if (waiting <= 0 || room <= 0) break;
        const size_t before = taken.size();
        taken.resize(before + static_cast<size_t>(std::min(waiting, room)));
        const int got = service.read(port, taken.data() + before, std::min(waiting, room));
        taken.resize(before + static_cast<size_t>(std::max(got, 0)));
        if (got <= 0) break;
    }
    if (taken.empty()) return;
    const int count = static_cast<int>(taken.size());
    Report(TrafficKind::Flushed, port, count, count, taken.data(), count);
}
