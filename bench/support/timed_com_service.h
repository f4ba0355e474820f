// A serial-port back end that hands every call to the host back end and times the live
// monitor's turn-around: from the moment the receive notification has read a reply frame
// to the moment the next monitor request has been handed to the driver.
#pragma once

#include <vector>

#include "platform/serial/host_com_service.h"

class TimedComService : public HostComService {
  public:
    // Timing starts and stops with these; the figures of the last span are kept. Without
    // details only the replies are counted, so a long run takes no memory for its figures.
    void startTiming(bool details = true);
    void stopTiming();

    // Seconds from a reply's read to the next request's write, one entry per exchange.
    const std::vector<double>& turnArounds() const { return turnArounds_; }
    // Replies read while timing, when the first and last came and, with details, when each
    // came (seconds, timer()).
    long replies() const { return replies_; }
    double firstReplyAt() const { return firstReplyAt_; }
    double lastReplyAt() const { return lastReplyAt_; }
    const std::vector<double>& replyTimes() const { return replyTimes_; }

    int read(int port, char* buffer, int count) override;
    int write(int port, const char* buffer, int count) override;

  private:
    bool timing_ = false;
    bool details_ = false;
    double replyReadAt_ = -1.0;
    long replies_ = 0;
    double firstReplyAt_ = 0.0;
    double lastReplyAt_ = 0.0;
    std::vector<double> replyTimes_;
    std::vector<double> turnArounds_;
};
