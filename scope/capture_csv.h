// A data capture as CSV: both 128-sample curves with each channel's reference and limit
// lines, one row per sample, and the capture's time and parameter set as '#' lines on top.
#pragma once

#include <ctime>
#include <string>

#include "params/local_time.h"
#include "params/param_table.h"
#include "scope/reference_curves.h"

namespace kervano {

// What one capture leaves: the received samples, which of them arrived, the lines drawn
// against them and the parameter set they came from. Taken right after the capture, it
// stays true when the parameter set changes afterwards.
struct CaptureRecord {
    std::time_t time = 0;
    unsigned short top[kCurvePoints] = {};
    unsigned short bot[kCurvePoints] = {};
    bool topReceived[kCurvePoints] = {};
    bool botReceived[kCurvePoints] = {};
    // The lines per sample. A limit that a 16-bit curve word cannot hold (a BOT tolerance
    // line below 0) is kept as its true value.
    int topRef[kCurvePoints] = {};
    int topUpper[kCurvePoints] = {};  // refTOP + tolTOP
    int topLower[kCurvePoints] = {};  // refTOP - hystTOP
    int botRef[kCurvePoints] = {};
    int botLower[kCurvePoints] = {};  // refBOT - tolBOT (upArray of the BOT channel)
    int botUpper[kCurvePoints] = {};  // refBOT + hystBOT (loArray of the BOT channel)
    unsigned short parameters[kParameterCount] = {};
};

// Records the capture that the curves and dataBlockOk hold now, with the lines of the
// parameter variables (computed by the reference-curve routines, which leaves the line
// arrays holding the BOT lines, as after a capture).
CaptureRecord RecordCapture(std::time_t time);

// The CSV text: '#' lines with the time (ISO 8601, local time with its offset) and the
// parameters, a header row, then 128 rows. A sample that did not arrive is an empty cell.
std::string FormatCaptureCsv(const CaptureRecord& record);

}  // namespace kervano
