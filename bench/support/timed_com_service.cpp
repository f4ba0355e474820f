#include "bench/support/timed_com_service.h"

#include "link/frame.h"

namespace {

bool IsMonitorRequest(const char* buffer, int count) {
    return count == kervano::kFrameBytes && buffer[2] == 0 && buffer[3] == kervano::ORDER_MONITOR;
}

}  // namespace

void TimedComService::startTiming(bool details) {
    timing_ = true;
    details_ = details;
    replyReadAt_ = -1.0;
    replies_ = 0;
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
        if (replies_++ == 0) firstReplyAt_ = replyReadAt_;
        lastReplyAt_ = replyReadAt_;
        if (details_) replyTimes_.push_back(replyReadAt_);
    }
    return n;
}

int TimedComService::write(int port, const char* buffer, int count) {
    const int n = HostComService::write(port, buffer, count);
    if (timing_ && details_ && replyReadAt_ >= 0.0 && IsMonitorRequest(buffer, count)) {
        turnArounds_.push_back(timer() - replyReadAt_);
        replyReadAt_ = -1.0;
    }
    return n;
}
