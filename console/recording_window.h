// File > Open recording...: a monitor recording (the CSV of Record monitor to CSV) in a
// window of its own, the whole of it on a time axis in the file's local time, to zoom and
// pan through, with a cursor read-out of every word.
#pragma once

#include <string>

class QWidget;

namespace kervano {

// Adds the command to the File menu; once the menu bar is installed.
void InstallRecordingCommand();
// Reads path and shows it in a new window, returned; null when the file is refused, with
// the reason in the status line.
QWidget* OpenRecordingWindow(const std::string& path);

}  // namespace kervano
