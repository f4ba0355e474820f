// View > Line figures: how the line is doing, for an engineer chasing a flaky one. Exchanges
// a second now against the line's limit, replies that did not come, reads set aside and the
// median reply time, from the counts the link keeps anyway; refreshed twice a second while
// the window is open, nothing while it is closed.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "link/line_figures.h"

namespace kervano {

// Exchanges a second a 19200-baud line carries at most: a 36-byte request and a 36-byte
// reply, ten bits a byte.
double LineLimitPerSecond();

// The window's rows (name, value): rate is the exchanges a second now (< 0: not known yet).
std::vector<std::pair<std::string, std::string>> LineFigureRows(const LineFigures& figures,
                                                                 double rate, double median);

// Adds the command to the View menu; once the menu bar is installed.
void InstallLineFiguresCommand();
// Shows the window beside the main panel, creating it on first use.
void ShowLineFigures();

}  // namespace kervano
