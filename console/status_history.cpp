#include "console/status_history.h"

#include "resources/status_listeners.h"
#include "scope/monitor_recorder.h"

namespace kervano {

namespace {
std::deque<StatusHistoryEntry> entries;
StatusHistoryListener listener = nullptr;

// "14:05:09.123": the time part of the recording's time stamp.
std::string LocalTimeNow() {
    constexpr size_t kTimeAt = 11;  // after "2025-03-01T"
    constexpr size_t kTimeLength = 12;
    return Iso8601LocalTimeMs(SystemClockMs()).substr(kTimeAt, kTimeLength);
}
}  // namespace

void StartStatusHistory() {
    AddStatusListener(RecordStatusText);
}

void RecordStatusText(const char* text) {
    entries.push_back(StatusHistoryEntry{LocalTimeNow(), text != nullptr ? text : ""});
    while (entries.size() > static_cast<size_t>(kStatusHistorySize)) entries.pop_front();
    if (listener != nullptr) listener(&entries.back());
}

const std::deque<StatusHistoryEntry>& StatusHistory() {
    return entries;
}

std::string StatusHistoryLine(const StatusHistoryEntry& entry) {
    return entry.time + "  " + entry.text;
}

std::string StatusHistoryText() {
    std::string text;
    for (const StatusHistoryEntry& entry : entries) text += StatusHistoryLine(entry) + "\n";
    return text;
}

void ClearStatusHistory() {
    entries.clear();
    if (listener != nullptr) listener(nullptr);
}

void SetStatusHistoryListener(StatusHistoryListener newListener) {
    listener = newListener;
}

}  // namespace kervano
