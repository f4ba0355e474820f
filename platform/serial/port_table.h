// Port table: which device stands behind each COM number.
//
// On Windows COM n is "COMn". Elsewhere the serial devices found are numbered from 1:
// USB and ACM adapters first, then built-in ports, each group in name order. A number once
// given stays with its device for the whole run, even while the device is away: a device
// that appears later takes the next number nobody holds, and one that comes back takes its
// old number again (a USB adapter with a serial number is known by it, whatever path it
// gets). An explicit mapping pins a number to a device path or a network address
// (tcp://HOST:PORT, rfc2217://HOST:PORT, which needs no device node); pinned devices are not
// numbered again. The device the system uses as its console gets no number.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct PortEntry {
    PortEntry(int n = 0, std::string path = {}, std::string words = {}, std::string serial = {})
        : number(n),
          device(std::move(path)),
          description(std::move(words)),
          serialNumber(std::move(serial)) {}

    int number = 0;
    std::string device;        // "/dev/ttyUSB0", "COM3", "/dev/pts/7"
    std::string description;   // "FT232R USB UART", "built-in simulated controller", ...
    std::string serialNumber;  // a USB adapter's own serial number ("vid:pid:serial"), or ""
};

// Numbers given so far in this run, by device identity (see PortIdentity).
using PortNumberMemory = std::map<std::string, int>;
// What a device is known by: its USB serial number where it has one, else its path.
std::string PortIdentity(const PortEntry& entry);

// Pins COM number to device (a path). A later call for the same number replaces it.
void PortTablePin(int number, const std::string& device, const std::string& description = "");
// Pins a network address (network_address.h) to a COM number of its own and returns it: the
// number it is pinned to already, else the lowest number the table does not use now.
// 0 when every number is taken.
int PortTablePinAddress(const std::string& address);
// Forgets every pin and every number given (tests).
void PortTableClearPins();
// True when some COM number was pinned (the command line's --port).
bool PortTableHasPins();
// True when the system lists device now; numbers nothing, so it can be asked before pinning.
bool PortTableDevicePresent(const std::string& device);
// The whole table, in number order; enumerates the system's devices afresh.
std::vector<PortEntry> PortTableList();
// Starts enumerating the system's devices in the background, for the next PortTableList:
// at start-up the enumeration then runs while the panel is being built.
void PortTableLookAhead();
// The device of COM number, or "" when no device stands behind it.
std::string PortTableDevice(int number);
// "COM1  /dev/ttyUSB0  FT232R USB UART"
std::string PortTableLabel(const PortEntry& entry);

// Replaces the system's device scan (tests: devices that are "plugged in" without hardware);
// an empty function restores it.
void PortTableSetScan(std::function<std::vector<PortEntry>()> scan);

// Pure numbering rule, for tests: devices (path, description) as found, pins and the console
// device in, numbered table out. memory (if given) holds the numbers of earlier listings and
// takes the new ones.
std::vector<PortEntry> NumberPorts(const std::vector<PortEntry>& found,
                                   const std::vector<PortEntry>& pins,
                                   const std::string& consoleDevice,
                                   PortNumberMemory* memory = nullptr);
