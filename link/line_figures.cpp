#include "link/line_figures.h"

#include <algorithm>
#include <array>

#include "platform/serial/traffic_tap.h"

namespace kervano {

LineFigures lineFigures;

namespace {
constexpr int kKeptReplyTimes = 256;

// The times of the most recent frames sent: enough for several seconds at the line's limit.
struct SendTimes {
    std::array<double, kKeptReplyTimes> at{};
    int count = 0;
    int next = 0;
};

SendTimes& Sent() {
    static SendTimes sent;
    return sent;
}

struct ReplyTimes {
    std::array<float, kKeptReplyTimes> seconds{};
    int count = 0;  // kept so far, up to kKeptReplyTimes
    int next = 0;
    double lastSent = -1.0;
};

ReplyTimes& Times() {
    static ReplyTimes times;
    return times;
}
}  // namespace

void CountFrameSent(double time) {
    ++lineFigures.framesSent;
    Times().lastSent = time;
    SendTimes& sent = Sent();
    sent.at[sent.next] = time;
    sent.next = (sent.next + 1) % kKeptReplyTimes;
    sent.count = std::min(sent.count + 1, kKeptReplyTimes);
}

void CountReplyOutcome(bool replied, double time) {
    ReplyTimes& times = Times();
    if (!replied) {
        ++lineFigures.repliesMissing;
        times.lastSent = -1.0;
        return;
    }
    ++lineFigures.replies;
    // A reply counts once towards the times: the frame that asked for it is used up.
    if (times.lastSent < 0.0 || time < times.lastSent) return;
    times.seconds[times.next] = static_cast<float>(time - times.lastSent);
    times.next = (times.next + 1) % kKeptReplyTimes;
    times.count = std::min(times.count + 1, kKeptReplyTimes);
    times.lastSent = -1.0;
}

void SetAsideRead(int port, const unsigned char* bytes, int count, int reason) {
    ++lineFigures.framesSetAside;
    lineFigures.bytesSetAside += count;
    TapSetAside(port, bytes, count, reason);
}

double MedianReplySeconds() {
    const ReplyTimes& times = Times();
    if (times.count == 0) return -1.0;
    std::array<float, kKeptReplyTimes> sorted = times.seconds;
    const auto end = sorted.begin() + times.count;
    const auto middle = sorted.begin() + times.count / 2;
    std::nth_element(sorted.begin(), middle, end);
    return *middle;
}

double FramesPerSecond(double now, double window) {
    const SendTimes& sent = Sent();
    int counted = 0;
    double oldest = now;
    for (int i = 0; i < sent.count; ++i) {
        const double t = sent.at[i];
        if (t > now - window && t <= now) {
            ++counted;
            oldest = std::min(oldest, t);
        }
    }
    if (counted == 0) return 0.0;
    // Since the oldest frame in the window: a run that began within it is not diluted by
    // the quiet before. A floor keeps one frame just sent from reading as hundreds a second.
    constexpr double kShortestSpan = 0.5;
    return counted / std::max(now - oldest, kShortestSpan);
}

void ResetLineFigures() {
    lineFigures = LineFigures{};
    Times() = ReplyTimes{};
    Sent() = SendTimes{};
}

}  // namespace kervano
