// The benchmark's figures: medians over runs, and the table each figure is printed in with
// its limit, its target and whether it was met (Markdown, so it pastes into the README).
#pragma once

#include <string>
#include <vector>

namespace bench {

// The median of values; 0 for none.
double Median(std::vector<double> values);
// "median (min-max of N)" with printf format fmt for each number.
std::string Spread(const std::vector<double>& values, const char* fmt);
// printf into a string.
std::string Text(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

struct Row {
    std::string figure;
    std::string measured;
    std::string limit;
    std::string target;
    std::string ratio;  // measured / limit, "-" where the limit is 0 or none
    bool met = false;
};

void PrintTable(const std::vector<Row>& rows);

}  // namespace bench
