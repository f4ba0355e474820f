// File > Service report...: the report of this run as HTML, or PDF when its name ends in
// ".pdf".
#pragma once

namespace kervano {

// Adds the command to the File menu; once the menu bar is installed.
void InstallReportCommand();

}  // namespace kervano
