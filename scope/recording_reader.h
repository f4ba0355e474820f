// A monitor recording read back (the CSV the monitor recorder writes), as columns: the time
// of each row and each of the sixteen words. Eight hours at the full rate are some 770,000
// rows, so the text is parsed by hand in one pass, without an allocation per row.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scope/monitor_recorder.h"

namespace kervano {

// The largest file taken: far above a day of recording at the full rate.
constexpr long long kMaxRecordingBytes = 1LL << 30;

struct Recording {
    std::vector<long long> timeMs;        // since the epoch, in time order
    std::vector<std::int16_t> offsetMin;  // each row's UTC offset, for its local time
    std::array<std::vector<std::uint16_t>, kMonitorWords> words;
    long long skipped = 0;  // rows cut short or damaged, left out
    std::size_t rows() const { return timeMs.size(); }
};

// The monitor words' names, as in the header ("rawTop1" ... "indexA").
const char* MonitorWordName(int word);

// Parses the text of a recording into out. false with the reason in error when it is not a
// recording (its first line is not the header) or holds no readable row.
bool ParseRecording(std::string_view text, Recording& out, std::string& error);
// Reads and parses the file at path; a pipe, a device, a folder or a file larger than
// kMaxRecordingBytes is refused at once.
bool ReadRecording(const std::string& path, Recording& out, std::string& error);

// "2026-03-02T14:05:09.123+01:00" as milliseconds since the epoch and its offset; false
// when the text is not exactly that form.
bool ParseIsoTimeMs(std::string_view text, long long& ms, int& offsetMin);

}  // namespace kervano
