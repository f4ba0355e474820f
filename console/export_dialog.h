// What the File menu's exports share: the default file name and the save dialog.
#pragma once

#include <ctime>
#include <string>

namespace kervano {

// "capture-20250301-140509.csv" for kind "capture", extension ".csv".
std::string DefaultName(const char* kind, std::time_t time, const char* extension);

// The save dialog for an export; it opens where the last export went, at first where the
// parameter files are. Returns the chosen path, or "" when none was chosen.
std::string AskExportFile(const char* title, const std::string& name, const char* filter);

}  // namespace kervano
