// Keeps the COM selector current and the link alive while the tool runs.
#pragma once

namespace kervano {

// Every two seconds: lists the port table again if it changed, unless the operator has the
// selector open, and watches the device of the port in use (see link_reconnect.h).
void StartPortWatch();
void StopPortWatch();
// The time between two turns (tests make it shorter); applies from the next start.
void SetPortWatchInterval(int milliseconds);
// One turn of the watch, as the timer runs it.
void PortWatchTurn();

}  // namespace kervano
