#include "scope/recording_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "params/local_time.h"

namespace kervano {

TimeView::TimeView(long long first, long long last) {
    // A recording of one row still gets a range around it.
    const double middle = (static_cast<double>(first) + static_cast<double>(last)) / 2.0;
    const double half = std::max(static_cast<double>(last - first), kMinViewSpanMs) / 2.0;
    first_ = middle - half;
    last_ = middle + half;
    begin_ = first_;
    end_ = last_;
}

void TimeView::set(double begin, double end) {
    double span = std::clamp(end - begin, kMinViewSpanMs, last_ - first_);
    if (!std::isfinite(span)) span = last_ - first_;
    begin = std::clamp(begin, first_, last_ - span);
    begin_ = begin;
    end_ = begin + span;
}

void TimeView::zoom(double factor, double anchor) {
    if (!(factor > 0.0) || !std::isfinite(factor)) return;
    anchor = std::clamp(anchor, 0.0, 1.0);
    const double at = begin_ + anchor * span();
    const double span = std::clamp(this->span() * factor, kMinViewSpanMs, last_ - first_);
    set(at - anchor * span, at - anchor * span + span);
}

void TimeView::pan(double fraction) {
    if (!std::isfinite(fraction)) return;
    const double shift = fraction * span();
    set(begin_ + shift, end_ + shift);
}

void TimeView::showAll() {
    set(first_, last_);
}

std::vector<long long> TimeTicks(double begin, double end, int maxTicks, int offsetMin,
                                 long long* stepMs) {
    static const long long kSteps[] = {
        1,      2,      5,       10,      20,      50,       100,      200,      500,
        1000,   2000,   5000,    10000,   15000,   30000,    60000,    120000,   300000,
        600000, 900000, 1800000, 3600000, 7200000, 10800000, 21600000, 43200000, 86400000};
    std::vector<long long> ticks;
    if (!(end > begin) || maxTicks < 1) return ticks;
    long long step = kSteps[std::size(kSteps) - 1];
    for (long long s : kSteps) {
        if ((end - begin) / static_cast<double>(s) <= maxTicks) {
            step = s;
            break;
        }
    }
    if (stepMs != nullptr) *stepMs = step;
    // Round in local time, so that an hour tick falls on the hour of the file's clock.
    const long long offset = offsetMin * 60000LL;
    const long long from = static_cast<long long>(std::ceil(begin));
    for (long long t = -FloorDiv(-(from + offset), step) * step - offset;
         static_cast<double>(t) <= end; t += step)
        ticks.push_back(t);
    return ticks;
}

std::string ClockText(long long ms, int offsetMin, bool withMs) {
    const long long local = ms + offsetMin * 60000LL;
    const long long inDay = local - FloorDiv(local, 86400000) * 86400000;
    char text[32];  // room for any value the compiler can imagine
    if (withMs) {
        std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", inDay / 3600000,
                      inDay / 60000 % 60, inDay / 1000 % 60, inDay % 1000);
    } else {
        std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", inDay / 3600000,
                      inDay / 60000 % 60, inDay / 1000 % 60);
    }
    return text;
}

std::string SpanText(long long ms) {
    const long long s = std::max(ms, 0LL) / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

}  // namespace kervano
