// Low-latency mode of a serial adapter's driver. A USB adapter hands received bytes on only
// when its buffer fills or its latency timer runs out (16 ms by default on FTDI chips), so
// each reply can come up to that much later; the driver's low-latency flag sets the timer to
// 1 ms.
#pragma once

#include <string>

// Asks the driver of the open tty handle (a descriptor on Linux) for low-latency mode.
// Returns one line for the port's tooltip: that it is on, or why it could not be set (a
// pseudo-terminal or another driver has no such mode, or permissions). Failing is harmless:
// the port works as before. "" where the system has no such request.
std::string RequestLowLatency(long long handle, const std::string& path);
