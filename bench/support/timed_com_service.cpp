#include "bench/support/timed_com_service.h"

#include "link/frame.h"

namespace {

bool IsMonitorRequest(const char* buffer, int count) {
    return count == kervano::kFrameBytes && buffer[2] == 0 && buffer[3] == kervano::ORDER_MONITOR;
}

}  // namespace

void TimedComService::startTiming() {
    timing_ = true;
    replyReadAt_ = -1.0;
    replyTimes_.clear();
    turnArounds_.clear();
}

void TimedComService::stopTiming() {
    timing_ = false;
}

int TimedComService::read(int port, char* buffer, int count) {
    const int n = HostComService::read(port, buffer, count);
    if (timing_ && n == kervano::kFrameBytes) {
        replyReadAt_ = timer();
        replyTimes_.push_back(replyReadAt_);
    }
    return n;
}

int TimedComService::write(int port, const char* buffer, int count) {
    const int n = HostComService::write(port, buffer, count);
    if (timing_ && replyReadAt_ >= 0.0 && IsMonitorRequest(buffer, count)) {
        turnArounds_.push_back(timer() - replyReadAt_);
        replyReadAt_ = -1.0;
    }
    return n;
}
