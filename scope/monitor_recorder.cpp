#include "scope/monitor_recorder.h"

#include <chrono>
#include <cstdio>

#include "params/local_time.h"

namespace kervano {

const char* const kMonitorCsvHeader =
    "time,rawTop1,rawTop2,rawBot1,rawBot2,normTop1,normTop2,normBot1,normBot2,"
    "maxTop1,maxTop2,maxBot1,maxBot2,cntTRUV,in2cnt,inputs,indexA";

namespace {
// Rows that collect faster than a second are written in chunks of about this size.
constexpr std::size_t kChunkBytes = 64 * 1024;
constexpr std::size_t kRowBytes = 160;     // a time and sixteen 5-digit words, with room
constexpr std::size_t kSecondDigits = 19;  // "2025-03-01T14:05:09"

}  // namespace

long long SystemClockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::string Iso8601LocalTimeMs(long long msSinceEpoch) {
    const long long seconds = FloorDiv(msSinceEpoch, 1000);
    std::string text = Iso8601LocalTime(static_cast<std::time_t>(seconds));
    char millis[8];
    std::snprintf(millis, sizeof millis, ".%03lld", msSinceEpoch - seconds * 1000);
    return text.insert(kSecondDigits, millis);
}

MonitorRecorder::MonitorRecorder(RecorderClock clock) : clock_(std::move(clock)) {}

MonitorRecorder::~MonitorRecorder() {
    close();
}

bool MonitorRecorder::open(const std::string& path) {
    close();
    error_.clear();
    rows_ = 0;
    path_ = path;
    std::string reason;
    if (!file_.open(path, reason)) return fail(reason);
    // Rows are buffered here, whole; the file itself is written straight through.
    waiting_.clear();
    waiting_.reserve(kChunkBytes + kRowBytes);
    if (file_.wasEmpty()) (waiting_ += kMonitorCsvHeader) += '\n';
    if (file_.endedMidLine()) waiting_ += '\n';  // never glued to a row cut short
    lastWriteMs_ = clock_();
    return true;
}

const std::string& MonitorRecorder::stampOf(long long ms) {
    const long long second = FloorDiv(ms, 1000);
    if (second != stampSecond_) {
        stamp_ = Iso8601LocalTime(static_cast<std::time_t>(second));
        stampSecond_ = second;
    }
    return stamp_;
}

bool MonitorRecorder::append(const unsigned short* words) {
    if (!file_.isOpen()) return false;
    const long long now = clock_();
    const std::string& stamp = stampOf(now);
    char row[kRowBytes];
    int n = std::snprintf(row, sizeof row, "%.*s.%03lld%s", static_cast<int>(kSecondDigits),
                          stamp.c_str(), now - stampSecond_ * 1000, stamp.c_str() + kSecondDigits);
    for (int k = 0; k < kMonitorWords; ++k)
        n += std::snprintf(row + n, sizeof row - static_cast<std::size_t>(n), ",%u",
                           static_cast<unsigned>(words[k]));
    waiting_.append(row, static_cast<std::size_t>(n));
    waiting_ += '\n';
    ++rows_;
    if (waiting_.size() >= kChunkBytes) return writeWaiting();
    return flushIfDue();
}

bool MonitorRecorder::flushIfDue() {
    if (!file_.isOpen()) return false;
    const long long now = clock_();
    // A clock set back counts as due: rows must not wait for it to catch up.
    if (now - lastWriteMs_ < kRecorderFlushMs && now >= lastWriteMs_) return true;
    return writeWaiting();
}

bool MonitorRecorder::writeWaiting() {
    lastWriteMs_ = clock_();
    if (waiting_.empty()) return true;
    // The bytes are in the kernel when append returns: a killed process loses none of them.
    std::string reason;
    if (!file_.append(waiting_, reason)) return fail(reason);
    waiting_.clear();
    return true;
}

bool MonitorRecorder::close() {
    if (!file_.isOpen()) return error_.empty();
    if (!writeWaiting()) return false;
    std::string reason;
    if (!file_.close(reason)) return fail(reason);
    return true;
}

bool MonitorRecorder::fail(const std::string& reason) {
    error_ = reason;
    file_.close();
    waiting_.clear();
    return false;
}

}  // namespace kervano
