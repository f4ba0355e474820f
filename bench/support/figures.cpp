#include "bench/support/figures.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace bench {

double Median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

std::string Text(const char* fmt, ...) {
    char buffer[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    return buffer;
}

std::string Spread(const std::vector<double>& values, const char* fmt) {
    if (values.empty()) return "-";
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    std::string text = Text(fmt, Median(values));
    if (values.size() > 1)
        text += " (" + Text(fmt, *lo) + "-" + Text(fmt, *hi) + Text(" of %zu)", values.size());
    return text;
}

void PrintTable(const std::vector<Row>& rows) {
    const std::vector<std::string> head = {"Figure", "Measured", "Limit", "Target", "Ratio", "Met"};
    std::vector<std::vector<std::string>> cells = {head};
    for (const Row& r : rows)
        cells.push_back({r.figure, r.measured, r.limit, r.target, r.ratio, r.met ? "yes" : "NO"});
    std::vector<size_t> width(head.size(), 0);
    for (const auto& line : cells)
        for (size_t c = 0; c < line.size(); ++c) width[c] = std::max(width[c], line[c].size());
    auto print = [&](const std::vector<std::string>& line) {
        std::string text = "|";
        for (size_t c = 0; c < line.size(); ++c)
            text += " " + line[c] + std::string(width[c] - line[c].size(), ' ') + " |";
        std::puts(text.c_str());
    };
    print(cells[0]);
    std::string rule = "|";
    for (size_t w : width) rule += std::string(w + 2, '-') + "|";
    std::puts(rule.c_str());
    for (size_t i = 1; i < cells.size(); ++i) print(cells[i]);
    std::fflush(stdout);
}

}  // namespace bench
