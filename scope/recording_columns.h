// The columns a time range of a recording takes on a screen: for each pixel column the rows
// whose times fall in it, and per word their smallest and largest value, so that a drawing
// of a few hundred columns keeps every extreme of hundreds of thousands of rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kervano {

// The first row at or after time (times in order); rows.size() when none is.
std::size_t FirstRowFrom(const std::vector<long long>& times, double time);
// The row nearest in time to time; times must not be empty.
std::size_t NearestRow(const std::vector<long long>& times, double time);

// Column c of width columns over [begin, end) holds rows [start[c], start[c + 1]);
// start gets width + 1 entries.
void ColumnRows(const std::vector<long long>& times, double begin, double end, int width,
                std::vector<std::size_t>& start);

struct MinMax {
    std::uint16_t lo = 0xFFFF;
    std::uint16_t hi = 0;
    bool empty() const { return lo > hi; }  // no row in the column
};
// The smallest and largest value of each column given by start (see ColumnRows).
void ColumnMinMax(const std::vector<std::uint16_t>& values, const std::vector<std::size_t>& start,
                  std::vector<MinMax>& out);

// Below this many rows per column the rows are drawn as points joined by lines instead.
constexpr double kMinRowsPerColumn = 2.0;

}  // namespace kervano
