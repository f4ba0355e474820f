#include "scope/recording_reader.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <numeric>

#include "platform/files/file_service.h"

namespace kervano {

namespace {

constexpr std::size_t kTimeChars = 29;  // "2026-03-02T14:05:09.123+01:00"
constexpr std::size_t kDateChars = 10;  // "2026-03-02"

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar, without the C
// library's time zone machinery (H. Hinnant's days_from_civil).
long long DaysFromCivil(int y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

// The digits at text[at .. at + n) as a number; false when any is not a digit.
bool Digits(std::string_view text, std::size_t at, std::size_t n, int& value) {
    value = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        const unsigned digit = static_cast<unsigned char>(text[i]) - '0';
        if (digit > 9) return false;
        value = value * 10 + static_cast<int>(digit);
    }
    return true;
}

// The last date seen and its day number: rows of one day share it.
struct DateCache {
    char date[kDateChars] = {};
    long long days = 0;
    bool valid = false;
};

bool ParseTime(std::string_view t, DateCache& cache, long long& ms, int& offsetMin) {
    if (t.size() != kTimeChars || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' ||
        t[16] != ':' || t[19] != '.' || (t[23] != '+' && t[23] != '-') || t[26] != ':')
        return false;
    if (!cache.valid || std::memcmp(cache.date, t.data(), kDateChars) != 0) {
        int y, mo, d;
        if (!Digits(t, 0, 4, y) || !Digits(t, 5, 2, mo) || !Digits(t, 8, 2, d) || mo < 1 ||
            mo > 12 || d < 1 || d > 31)
            return false;
        std::memcpy(cache.date, t.data(), kDateChars);
        cache.days = DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d));
        cache.valid = true;
    }
    int h, mi, s, milli, oh, om;
    if (!Digits(t, 11, 2, h) || !Digits(t, 14, 2, mi) || !Digits(t, 17, 2, s) ||
        !Digits(t, 20, 3, milli) || !Digits(t, 24, 2, oh) || !Digits(t, 27, 2, om) || h > 23 ||
        mi > 59 || s > 59 || oh > 14 || om > 59)
        return false;
    offsetMin = (t[23] == '-' ? -1 : 1) * (oh * 60 + om);
    const long long localSeconds = cache.days * 86400 + h * 3600 + mi * 60 + s;
    ms = (localSeconds - offsetMin * 60LL) * 1000 + milli;
    return true;
}

// One row's sixteen words after its time; false when any is missing, not a number, above
// 65535, or followed by anything.
bool ParseWords(const char* p, const char* end, std::uint16_t (&words)[kMonitorWords]) {
    for (int k = 0; k < kMonitorWords; ++k) {
        if (p == end || *p != ',') return false;
        unsigned value = 0;
        const auto [next, ec] = std::from_chars(p + 1, end, value);
        if (ec != std::errc() || next == p + 1 || value > 0xFFFF) return false;
        words[k] = static_cast<std::uint16_t>(value);
        p = next;
    }
    return p == end;
}

std::string_view StripCr(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// A clock set back while recording leaves rows out of order; they are put in order so that
// a time finds its row by bisection.
void SortByTime(Recording& r) {
    if (std::is_sorted(r.timeMs.begin(), r.timeMs.end())) return;
    std::vector<std::uint32_t> order(r.rows());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return r.timeMs[a] < r.timeMs[b]; });
    auto permute = [&](auto& column) {
        auto sorted = column;
        for (std::size_t i = 0; i < order.size(); ++i) sorted[i] = column[order[i]];
        column.swap(sorted);
    };
    permute(r.timeMs);
    permute(r.offsetMin);
    for (auto& column : r.words) permute(column);
}

}  // namespace

const char* MonitorWordName(int word) {
    // Split once from the header, so the names cannot drift from what the recorder writes.
    static const std::array<std::string, kMonitorWords> names = [] {
        std::array<std::string, kMonitorWords> split;
        std::string_view header = kMonitorCsvHeader;
        header.remove_prefix(header.find(',') + 1);
        for (std::string& name : split) {
            const std::size_t comma = header.find(',');
            name = std::string(header.substr(0, comma));
            header.remove_prefix(comma == std::string_view::npos ? header.size() : comma + 1);
        }
        return split;
    }();
    return word >= 0 && word < kMonitorWords ? names[static_cast<std::size_t>(word)].c_str() : "";
}

bool ParseIsoTimeMs(std::string_view text, long long& ms, int& offsetMin) {
    DateCache cache;
    return ParseTime(text, cache, ms, offsetMin);
}

bool ParseRecording(std::string_view text, Recording& out, std::string& error) {
    out = Recording{};
    const std::size_t firstEnd = std::min(text.find('\n'), text.size());
    if (StripCr(text.substr(0, firstEnd)) != kMonitorCsvHeader) {
        error = "not a monitor recording";
        return false;
    }
    // About 100 bytes a row: one reservation instead of a dozen regrowths.
    const std::size_t expected = text.size() / 90 + 1;
    out.timeMs.reserve(expected);
    out.offsetMin.reserve(expected);
    for (auto& column : out.words) column.reserve(expected);

    DateCache cache;
    const char* p = text.data() + std::min(firstEnd + 1, text.size());
    const char* const end = text.data() + text.size();
    while (p < end) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', end - p));
        if (eol == nullptr) eol = end;
        const std::string_view line = StripCr(std::string_view(p, eol - p));
        p = eol + 1;
        if (line.empty()) continue;  // not a row at all
        long long ms = 0;
        int offset = 0;
        std::uint16_t words[kMonitorWords];
        if (line.size() <= kTimeChars ||
            !ParseTime(line.substr(0, kTimeChars), cache, ms, offset) ||
            !ParseWords(line.data() + kTimeChars, line.data() + line.size(), words)) {
            ++out.skipped;
            continue;
        }
        out.timeMs.push_back(ms);
        out.offsetMin.push_back(static_cast<std::int16_t>(offset));
        for (int k = 0; k < kMonitorWords; ++k) out.words[k].push_back(words[k]);
    }
    if (out.rows() == 0) {
        error = out.skipped == 0 ? "no rows"
                                 : "no readable rows (" + std::to_string(out.skipped) + " damaged)";
        return false;
    }
    SortByTime(out);
    return true;
}

bool ReadRecording(const std::string& path, Recording& out, std::string& error) {
    std::string text;
    if (!ReadFileWhole(path, kMaxRecordingBytes, text, &error)) return false;
    return ParseRecording(text, out, error);
}

}  // namespace kervano
