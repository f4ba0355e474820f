// Reading a capture CSV back: the file FormatCaptureCsv writes, and nothing else. A file
// that differs from it anywhere (another program's CSV, a file cut short or edited) is
// refused whole, so nothing half-read can pass for a capture.
#pragma once

#include <string>

#include "scope/capture_csv.h"

namespace kervano {

// Fills record from text when text is a whole capture: the time and parameter lines, the
// column header, exactly 128 numbered rows with values 0-65535 (empty only for a whole
// block that did not arrive) and lines within what 16-bit parameters can give. Otherwise
// returns false, leaves record as it was, and problem says what is wrong and where
// ("line 7: TOP value 70000 is outside 0-65535").
bool ParseCaptureCsv(const std::string& text, CaptureRecord& record, std::string& problem);

}  // namespace kervano
