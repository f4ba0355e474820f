// The real kervano-scope, started as an operator would start it, against kervano-sim paced
// at 19200 baud: how long until its panel shows the controller's parameters and firmware
// text, and what it costs while it sits idle with the port open.
#pragma once

#include <string>

namespace bench {

struct Launch {
    bool ok = false;
    std::string problem;        // why not ok
    double shownSeconds = 0.0;  // launch -> first paint of the panel with the line's answers
    std::string status;         // the status line at that paint
    double idleShare = -1.0;    // processor share while idle (1.0 = one core); -1 not measured
    double peakMiB = -1.0;      // the tool's peak resident memory
};

// binDir holds kervano-scope and kervano-sim. idleSeconds 0 skips the idle measurement.
Launch LaunchTool(const std::string& binDir, double idleSeconds);

}  // namespace bench
