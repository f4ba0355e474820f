#include "platform/serial/com_service.h"

#include <algorithm>
#include <cmath>

#include "platform/serial/host_com_service.h"

namespace {
ComService* installed = nullptr;
}  // namespace

ComService& ActiveComService() {
    if (installed != nullptr) return *installed;
    // Never destroyed: the serial ports must stay usable while other static objects are
    // torn down, and Qt may already be gone by then.
    static HostComService* host = new HostComService();
    return *host;
}

void SetComService(ComService* service) {
    installed = service;
}

int CheckComOpenParameters(int port, long baudRate, int parity, int dataBits, int stopBits,
                           std::string* problem) {
    auto fail = [problem](int code, const char* text) {
        if (problem != nullptr) *problem = text;
        return code;
    };
    if (port < 1 || port > 255) return fail(kComInvalidPort, "port number outside 1..255");
    if (baudRate <= 0 || baudRate > 4000000) return fail(kComInvalidParameter, "invalid baud rate");
    if (parity < 0 || parity > 4) return fail(kComInvalidParameter, "invalid parity");
    if (dataBits < 5 || dataBits > 8) return fail(kComInvalidParameter, "invalid data bits");
    if (stopBits != 1 && stopBits != 2) return fail(kComInvalidParameter, "invalid stop bits");
    return 0;
}

int CheckComTimeout(double seconds) {
    return std::isfinite(seconds) && seconds >= 0.0 ? 0 : kComInvalidParameter;
}

int CheckComCtsMode(int mode) {
    return mode >= 0 && mode <= 2 ? 0 : kComInvalidParameter;
}

int CheckComNotification(int eventMask, int notifyCount, int eventCharacter) {
    constexpr int kMaxNotifyCount = 1 << 20;
    if ((eventMask & kComEventNotifyCount) != 0 &&
        (notifyCount < 1 || notifyCount > kMaxNotifyCount))
        return kComInvalidParameter;
    if ((eventMask & kComEventChar) != 0 && (eventCharacter < 0 || eventCharacter > 255))
        return kComInvalidParameter;
    return 0;
}

int CheckComBuffer(const char* buffer, int count) {
    return count >= 0 && (count == 0 || buffer != nullptr) ? 0 : kComInvalidParameter;
}

int DueComEvents(int mask, bool newBytes, int queued, int notifyCount, int pendingEvents) {
    const int others = pendingEvents & mask & (kComEventChar | kComEventOutputEmpty);
    if ((mask & kComEventNotifyCount) == 0) return others;
    if (!newBytes || queued < std::max(notifyCount, 1)) return 0;
    return kComEventNotifyCount | others;
}
