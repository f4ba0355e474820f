// A CSV file of monitor replies: one row per reply, its local time with milliseconds, then
// the sixteen monitor words. Rows collect in memory and go to the file on a time basis, at
// least once a second (and whenever a good chunk has collected), so a crash loses at most
// the last second while a fast monitor does not pay a system call per reply. The file ends
// on a whole row whatever happens: rows go out whole, and a write that fails part-way is cut
// back to the last whole row. Only a regular file is recorded to.
#pragma once

#include <functional>
#include <string>

#include "platform/files/append_file.h"

namespace kervano {

// Wall-clock time in milliseconds since the epoch. Tests pass their own clock.
using RecorderClock = std::function<long long()>;
long long SystemClockMs();

// "2025-03-01T14:05:09.123+01:00"
std::string Iso8601LocalTimeMs(long long msSinceEpoch);

constexpr int kMonitorWords = 16;
// The first row of a new file: the time, then the monitor words by name.
extern const char* const kMonitorCsvHeader;
// Rows go to the file once the last write is this long past. With a timer asking at least
// every kRecorderTickMs while replies stop, no row waits longer than a second.
constexpr long long kRecorderFlushMs = 800;
constexpr int kRecorderTickMs = 200;

class MonitorRecorder {
  public:
    explicit MonitorRecorder(RecorderClock clock = SystemClockMs);
    // Writes out what waits and closes.
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    // Opens path for appending, creating it when missing. The header row goes first only
    // when the file is new or empty; a file whose last row was cut short goes on with a new
    // line. false, with error(), when it cannot be opened or is no regular file (a folder,
    // a named pipe, a device), refused at once.
    bool open(const std::string& path);
    // One row of the sixteen words, taken at the clock's time. Writes the waiting rows out
    // when kRecorderFlushMs have passed since the last write. false after a write error: the file
    // is then closed and error() says why.
    bool append(const unsigned short* words);
    // Writes the waiting rows out when kRecorderFlushMs have passed since the last write;
    // for a timer, so that rows do not wait for the next reply when replies stop.
    bool flushIfDue();
    // Writes out what waits and closes; false on a write error.
    bool close();

    bool isOpen() const { return file_.isOpen(); }
    long long rows() const { return rows_; }
    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }
    void setClock(RecorderClock clock) { clock_ = std::move(clock); }

  private:
    bool writeWaiting();
    bool fail(const std::string& reason);
    const std::string& stampOf(long long ms);

    RecorderClock clock_;
    AppendFile file_;
    std::string path_;
    std::string error_;
    std::string waiting_;  // whole rows not yet written
    long long rows_ = 0;
    long long lastWriteMs_ = 0;
    long long stampSecond_ = -1;  // the second stamp_ was made for
    std::string stamp_;
};

}  // namespace kervano
