// The service report: what was done to one controller, as one self-contained HTML page. The
// page is built here from plain inputs; the pictures of the capture come in as image
// sources (a data URL in the file, a resource name for the PDF).
#pragma once

#include <string>
#include <vector>

#include "link/line_figures.h"
#include "params/journal.h"
#include "params/known_values.h"
#include "params/param_table.h"
#include "scope/capture_csv.h"

namespace kervano {

struct ServiceReportInput {
    std::string date;     // local time with offset
    std::string version;  // "kervano-scope 1.31"
    std::string port;     // "COM1"
    std::string device;   // "/dev/ttyUSB0"
    std::string adapter;  // the device's description and serial number, "" when none
    std::string firmware;
    unsigned short panel[kParameterCount] = {};  // what the panel (or the variables) hold
    KnownMemory ram;
    KnownMemory eeprom;
    const CaptureRecord* capture = nullptr;  // the last capture, or none
    std::string topImage;  // image sources of the capture's two graphs
    std::string botImage;
    std::vector<JournalRecord> journal;  // the records of this run
    LineFigures line;
    double medianReplySeconds = -1.0;
};

// The points of a channel's curve that arrived and lie outside its limit lines; received
// (if given) gets how many arrived.
int PointsOutsideLimits(const CaptureRecord& capture, bool top, int* received = nullptr);

// The whole page, well-formed (every element closed, text escaped), so that XML tools read it.
std::string ServiceReportHtml(const ServiceReportInput& input);

// Text made safe for HTML content and attribute values.
std::string HtmlEscaped(const std::string& text);

}  // namespace kervano
