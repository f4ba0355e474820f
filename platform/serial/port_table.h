// Port table: which device stands behind each COM number.
//
// On Windows COM n is "COMn". Elsewhere the serial devices found are numbered from 1:
// USB and ACM adapters first, then built-in ports, each group in name order. An explicit
// mapping pins a number to a device path; pinned devices are not numbered again. The
// device the system uses as its console gets no number.
#pragma once

#include <string>
#include <vector>

struct PortEntry {
    int number = 0;
    std::string device;       // "/dev/ttyUSB0", "COM3", "/dev/pts/7"
    std::string description;  // "FT232R USB UART", "built-in simulated controller", ...
};

// Pins COM number to device (a path). A later call for the same number replaces it.
void PortTablePin(int number, const std::string& device, const std::string& description = "");
// Forgets every pin (tests).
void PortTableClearPins();
// The whole table, in number order; enumerates the system's devices afresh.
std::vector<PortEntry> PortTableList();
// The device of COM number, or "" when no device stands behind it.
std::string PortTableDevice(int number);
// "COM1  /dev/ttyUSB0  FT232R USB UART"
std::string PortTableLabel(const PortEntry& entry);

// Pure numbering rule, for tests: devices (path, description) as found, pins and the console
// device in, numbered table out.
std::vector<PortEntry> NumberPorts(const std::vector<PortEntry>& found,
                                   const std::vector<PortEntry>& pins,
                                   const std::string& consoleDevice);
