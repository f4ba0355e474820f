// The time range a recording window shows, and the labels of its time axis: zoomed and
// panned within the recording, never narrower than a few rows nor wider than the whole.
#pragma once

#include <string>
#include <vector>

namespace kervano {

// The narrowest range shown, in ms: a handful of rows at the monitor's full rate.
constexpr double kMinViewSpanMs = 200.0;

class TimeView {
  public:
    // The recording's first and last row time, in ms since the epoch; shows all of it.
    TimeView(long long first, long long last);

    double begin() const { return begin_; }
    double end() const { return end_; }
    double span() const { return end_ - begin_; }
    // factor < 1 zooms in, > 1 out; the time at anchor (0 left edge .. 1 right edge) stays.
    void zoom(double factor, double anchor = 0.5);
    // Moves by fraction of the span shown (negative: to earlier times).
    void pan(double fraction);
    void showAll();

  private:
    void set(double begin, double end);

    double first_;
    double last_;
    double begin_;
    double end_;
};

// The times (ms since the epoch) of the ticks of an axis from begin to end, about
// maxTicks of them at a round step of local time (offsetMin from UTC).
std::vector<long long> TimeTicks(double begin, double end, int maxTicks, int offsetMin,
                                 long long* stepMs = nullptr);
// "14:05:09", the local time of the recording; with ".123" when withMs.
std::string ClockText(long long ms, int offsetMin, bool withMs = false);
// "8:00:00", "0:04:30": a span of time as hours, minutes and seconds.
std::string SpanText(long long ms);

}  // namespace kervano
