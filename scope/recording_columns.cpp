#include "scope/recording_columns.h"

#include <algorithm>
#include <cmath>

namespace kervano {

std::size_t FirstRowFrom(const std::vector<long long>& times, double time) {
    // Times are whole milliseconds: the first row not before time is the first >= ceil(time).
    if (!(time > static_cast<double>(times.empty() ? 0 : times.front()))) return 0;  // also for NaN
    const long long t = static_cast<long long>(std::ceil(time));
    return static_cast<std::size_t>(std::lower_bound(times.begin(), times.end(), t) -
                                    times.begin());
}

std::size_t NearestRow(const std::vector<long long>& times, double time) {
    const std::size_t after = FirstRowFrom(times, time);
    if (after == 0) return 0;
    if (after == times.size()) return times.size() - 1;
    return time - static_cast<double>(times[after - 1]) <= static_cast<double>(times[after]) - time
               ? after - 1
               : after;
}

void ColumnRows(const std::vector<long long>& times, double begin, double end, int width,
                std::vector<std::size_t>& start) {
    const int columns = std::max(width, 0);
    start.resize(static_cast<std::size_t>(columns) + 1);
    const double step = columns > 0 ? (end - begin) / columns : 0.0;
    // A bisection per column edge: a few hundred searches, whatever the rows.
    for (int c = 0; c <= columns; ++c)
        start[static_cast<std::size_t>(c)] = FirstRowFrom(times, begin + step * c);
}

void ColumnMinMax(const std::vector<std::uint16_t>& values, const std::vector<std::size_t>& start,
                  std::vector<MinMax>& out) {
    out.assign(start.empty() ? 0 : start.size() - 1, MinMax{});
    for (std::size_t c = 0; c < out.size(); ++c) {
        const std::size_t last = std::min(start[c + 1], values.size());
        if (start[c] >= last) continue;
        const auto [lo, hi] =
            std::minmax_element(values.begin() + static_cast<std::ptrdiff_t>(start[c]),
                                values.begin() + static_cast<std::ptrdiff_t>(last));
        out[c] = MinMax{*lo, *hi};
    }
}

}  // namespace kervano
