// A serial-port back end that hands every call to the host back end and times the live
// monitor's turn-around: from the moment the receive notification has read a reply frame
// to the moment the next monitor request has been handed to the driver.
#pragma once

#include <vector>

#include "platform/serial/host_com_service.h"

class TimedComService : public HostComService {
  public:
    // Timing starts and stops with these; the figures of the last span are kept.
    void startTiming();
    void stopTiming();

    // Seconds from a reply's read to the next request's write, one entry per exchange.
    const std::vector<double>& turnArounds() const { return turnArounds_; }
    // Replies read while timing, and when each came (seconds, timer()).
    int replies() const { return static_cast<int>(replyTimes_.size()); }
    const std::vector<double>& replyTimes() const { return replyTimes_; }

    int read(int port, char* buffer, int count) override;
    int write(int port, const char* buffer, int count) override;

  private:
    bool timing_ = false;
    double replyReadAt_ = -1.0;
    std::vector<double> replyTimes_;
    std::vector<double> turnArounds_;
};
