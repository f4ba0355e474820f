#include "scope/capture_reading.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <vector>

namespace kervano {

namespace {
constexpr int kColumns = 9;
constexpr long kLowestLine = -0xFFFF;      // a reference of 0 less a tolerance of 65535
constexpr long kHighestLine = 2 * 0xFFFF;  // a reference plus a hysteresis, both 65535
const char* const kColumnNames[kColumns] = {
    "sample",    "TOP value",     "TOP reference",   "TOP upper limit", "TOP lower limit",
    "BOT value", "BOT reference", "BOT upper limit", "BOT lower limit"};

// The lines of text, without their line ends (a CRLF file reads the same).
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> Cells(const std::string& line, char separator) {
    std::vector<std::string> cells;
    size_t start = 0;
    for (;;) {
        const size_t end = line.find(separator, start);
        cells.push_back(line.substr(start, end - start));
        if (end == std::string::npos) return cells;
        start = end + 1;
    }
}

// A whole cell of decimal digits with an optional '-', within [low, high].
bool Number(const std::string& cell, long low, long high, long& value) {
    const char* end = cell.data() + cell.size();
    const auto [at, error] = std::from_chars(cell.data(), end, value);
    return !cell.empty() && error == std::errc() && at == end && value >= low && value <= high;
}

std::string At(size_t lineIndex) {
    return "line " + std::to_string(lineIndex + 1) + ": ";
}

// "2025-03-01T14:05:09+01:00", as Iso8601LocalTime writes it.
bool ParseTime(const std::string& stamp, std::time_t& time) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, zh = 0, zm = 0, length = 0;
    char sign = 0;
    if (std::sscanf(stamp.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c%2d:%2d%n", &y, &mo, &d, &h, &mi, &s,
                    &sign, &zh, &zm, &length) != 9 ||
        length != static_cast<int>(stamp.size()) || stamp.size() != 25)
        return false;
    using namespace std::chrono;
    const year_month_day date{year(y), month(static_cast<unsigned>(mo)),
                              day(static_cast<unsigned>(d))};
    if (!date.ok() || h > 23 || mi > 59 || s > 60 || zh > 14 || zm > 59 ||
        (sign != '+' && sign != '-'))
        return false;
    const long offset = (sign == '-' ? -1 : 1) * (zh * 3600L + zm * 60L);
    const auto local = sys_days(date).time_since_epoch() + hours(h) + minutes(mi) + seconds(s);
    time = static_cast<std::time_t>(duration_cast<seconds>(local).count() - offset);
    return true;
}

bool ParseParameters(const std::string& line, CaptureRecord& record, std::string& problem) {
    const std::string prefix = "# parameters: ";
    if (line.rfind(prefix, 0) != 0) {
        problem = "no '# parameters:' line";
        return false;
    }
    const std::vector<std::string> pairs = Cells(line.substr(prefix.size()), ' ');
    if (pairs.size() != kParameterCount) {
        problem = std::to_string(pairs.size()) + " parameters instead of 18";
        return false;
    }
    for (int p = 0; p < kParameterCount; ++p) {
        const std::string name = std::string(kParameterTable[p].name) + '=';
        long value = 0;
        if (pairs[p].rfind(name, 0) != 0 ||
            !Number(pairs[p].substr(name.size()), 0, 0xFFFF, value)) {
            problem = "parameter " + std::to_string(p + 1) + " is not " + name + "0-65535";
            return false;
        }
        record.parameters[p] = static_cast<unsigned short>(value);
    }
    return true;
}

// One row; halfSeen[channel][half] tells whether that block's values were present in the
// block's earlier rows (-1 before its first row).
bool ParseRow(const std::string& line, int sample, CaptureRecord& record, int (&halfSeen)[2][2],
              std::string& problem) {
    const std::vector<std::string> cells = Cells(line, ',');
    if (cells.size() != kColumns) {
        problem = std::to_string(cells.size()) + " cells instead of 9";
        return false;
    }
    long number = 0;
    if (!Number(cells[0], 1, kCurvePoints, number) || number != sample + 1) {
        problem = "sample " + std::to_string(sample + 1) + " expected, not '" + cells[0] + "'";
        return false;
    }
    const int half = sample < kHalfCurvePoints ? 0 : 1;
    unsigned short* values[2] = {record.top, record.bot};
    bool* received[2] = {record.topReceived, record.botReceived};
    int* lines[2][3] = {{record.topRef, record.topUpper, record.topLower},
                        {record.botRef, record.botUpper, record.botLower}};
    for (int channel = 0; channel < 2; ++channel) {
        const int first = 1 + channel * 4;
        const std::string& cell = cells[first];
        const bool present = !cell.empty();
        int& seen = halfSeen[channel][half];
        if (seen >= 0 && seen != (present ? 1 : 0)) {
            problem = std::string(kColumnNames[first]) + " " + (present ? "present" : "missing") +
                      " inside a block that was " + (present ? "missing" : "received");
            return false;
        }
        seen = present ? 1 : 0;
        if (present && !Number(cell, 0, 0xFFFF, number)) {
            problem = std::string(kColumnNames[first]) + " '" + cell + "' is not 0-65535";
            return false;
        }
        values[channel][sample] = present ? static_cast<unsigned short>(number) : 0;
        received[channel][sample] = present;
        for (int l = 0; l < 3; ++l) {
            if (!Number(cells[first + 1 + l], kLowestLine, kHighestLine, number)) {
                problem = std::string(kColumnNames[first + 1 + l]) + " '" + cells[first + 1 + l] +
                          "' is not a number the parameters can give";
                return false;
            }
            lines[channel][l][sample] = static_cast<int>(number);
        }
    }
    return true;
}
}  // namespace

bool ParseCaptureCsv(const std::string& text, CaptureRecord& record, std::string& problem) {
    std::vector<std::string> lines = Lines(text);
    if (lines.empty()) {
        problem = "the file is empty";
        return false;
    }
    CaptureRecord read;
    const std::string timePrefix = "# capture time: ";
    if (lines[0].rfind(timePrefix, 0) != 0) {
        problem = "not a capture file (no '# capture time:' line)";
        return false;
    }
    if (!ParseTime(lines[0].substr(timePrefix.size()), read.time)) {
        problem = At(0) + "no valid capture time";
        return false;
    }
    if (lines.size() < 2 || !ParseParameters(lines[1], read, problem)) {
        if (lines.size() < 2) problem = "no '# parameters:' line";
        problem = At(1) + problem;
        return false;
    }
    // The header is the one the writer puts there, taken from the writer itself.
    const std::string blank = FormatCaptureCsv(CaptureRecord{});
    const std::string header = Lines(blank)[2];
    if (lines.size() < 3 || lines[2] != header) {
        problem = At(2) + "not the capture's column header";
        return false;
    }
    int halfSeen[2][2] = {{-1, -1}, {-1, -1}};
    for (int sample = 0; sample < kCurvePoints; ++sample) {
        const size_t index = 3 + static_cast<size_t>(sample);
        if (index >= lines.size()) {
            problem = "cut short: " + std::to_string(sample) + " of 128 samples";
            return false;
        }
        if (!ParseRow(lines[index], sample, read, halfSeen, problem)) {
            problem = At(index) + problem;
            return false;
        }
    }
    if (lines.size() > 3 + kCurvePoints) {
        problem = At(3 + kCurvePoints) + "more after sample 128";
        return false;
    }
    record = read;
    return true;
}

}  // namespace kervano
