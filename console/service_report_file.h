// The service report as a file: the page with the last capture's two graphs embedded, as
// HTML, or as PDF through Qt's own writer when the name ends in ".pdf". Written whole or not
// at all, as the other exports.
#pragma once

#include <string>

namespace kervano {

// Gathers what the tool knows now (port, firmware, panel, known controller values, the last
// capture, this run's writes, the line's figures) and writes the report to path. false,
// with the reason in error, when it could not be written; an existing file then stays.
bool WriteServiceReport(const std::string& path, std::string* error);

// True when path asks for the PDF form.
bool IsPdfReportPath(const std::string& path);

}  // namespace kervano
