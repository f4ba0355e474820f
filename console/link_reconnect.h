// Brings the link back by itself when the device behind the port in use went away and came
// back (an adapter unplugged and plugged in again, under its old path or, for a USB adapter
// known by its serial number, a new one): the port is opened again with the whole port
// set-up, as a change of port would. The operator need not restart or re-pick the port.
// The same holds for a port that had no device behind it when it was to be opened (the tool
// started before the adapter was plugged in): it is opened once a device is there.
#pragma once

namespace kervano {

constexpr const char* kDeviceGoneText = "Port device gone - waiting for it to come back ...";
constexpr const char* kDeviceBackText = "Adapter back - Init COM-Port ...";
constexpr const char* kDeviceFoundText = "Adapter plugged in - Init COM-Port ...";

// One turn of the watch: notices a device that went away and, once it is back, reopens the
// port. Says each only once; a device that stays away costs one presence check a turn.
// Reopens only while the program is idle and mayReopen holds: a port set-up nested inside a
// command's wait would corrupt the command's frames and flags.
void WatchLinkDevice(bool mayReopen);
// True when no control callback runs and no wait processes events.
bool ProgramIsIdle();

}  // namespace kervano
