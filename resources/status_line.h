// The status line at the foot of the main panel: the text buffer that commands fill and the
// calls that show it. Every layer that reports to the operator writes here.
#pragma once

namespace kervano {

constexpr int kStatusBytes = 66;
extern char szStatus[kStatusBytes];

// Copies text (UTF-8) into szStatus, cut to fit at a character boundary.
void SetStatusText(const char* text);
// Shows text (or szStatus) in the status line and hands it to the status listeners.
void ShowStatus(const char* text);
void ShowStatus();
// True when text is what the status line shows last.
bool StatusLineShows(const char* text);

}  // namespace kervano
