// The status line's history: the last texts it showed with the time of each, so that a text
// that flashed by can still be read. Fed by the status line's listeners.
#pragma once

#include <deque>
#include <string>

namespace kervano {

constexpr int kStatusHistorySize = 200;

struct StatusHistoryEntry {
    std::string time;  // local time, "hh:mm:ss.zzz"
    std::string text;
};

// Starts recording every text the status line shows, repeats included.
void StartStatusHistory();
// Records text as shown now (the status listener).
void RecordStatusText(const char* text);
// The entries kept, oldest first; at most kStatusHistorySize.
const std::deque<StatusHistoryEntry>& StatusHistory();
// One entry as a line, "hh:mm:ss.zzz  text".
std::string StatusHistoryLine(const StatusHistoryEntry& entry);
// Every entry as a line, oldest first, each ending in a newline.
std::string StatusHistoryText();
void ClearStatusHistory();

// Called after each change: with the entry just recorded, or nullptr when cleared.
using StatusHistoryListener = void (*)(const StatusHistoryEntry* added);
void SetStatusHistoryListener(StatusHistoryListener listener);

}  // namespace kervano
