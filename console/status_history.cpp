#include "console/status_history.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "link/status_listeners.h"

namespace kervano {

namespace {
std::deque<StatusHistoryEntry> entries;
StatusHistoryListener listener = nullptr;

std::string LocalTimeNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(millis));
    return text;
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
