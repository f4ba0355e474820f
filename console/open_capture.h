// File > Open capture... and --open FILE.csv: a capture CSV the tool wrote, shown again in
// the data graphs with the lines it was drawn with, under a caption that names the file.
// The parameter variables, their fields and the last capture stay as they were; the next
// Run or Data shows the controller again.
#pragma once

#include <string>

#include "scope/capture_csv.h"

namespace kervano {

// The file --open names, opened once the panel's start-up is done ("" for none).
void SetCaptureToOpen(const std::string& path);
// Adds Open capture... to the File menu and the overlay commands to the View menu.
void InstallCaptureCommands();
// Opens the file --open named, if any; once start-up has opened the port.
void OpenCaptureAtStart();

// Shows the capture in path; a file that cannot be read or is no capture changes nothing
// and says why in the status line. True when it is shown.
bool OpenCaptureFile(const std::string& path);
// The opened capture while the graphs still show it, else null.
const CaptureRecord* ShownFileCapture();
// "File capture.csv, captured 2025-03-01 14:05:09 - not the controller"
std::string FileCaptureNote(const std::string& path, const CaptureRecord& record);

}  // namespace kervano
