#include "platform/serial/port_table.h"

#include <QFile>
#include <QSerialPortInfo>
#ifdef Q_OS_LINUX
#include <dirent.h>
#endif
#include <algorithm>
#include <cctype>
#include <future>
#include <map>
#include <set>
#include <sstream>

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 255;

std::map<int, PortEntry>& Pins() {
    static std::map<int, PortEntry> pins;
    return pins;
}

PortNumberMemory& Memory() {
    static PortNumberMemory memory;
    return memory;
}

std::function<std::vector<PortEntry>()>& Scan() {
    static std::function<std::vector<PortEntry>()> scan;
    return scan;
}

#ifdef Q_OS_LINUX
// The kernel's tty devices by name and node: one that comes, goes or comes back (under the
// same name too) changes it. Reading it costs microseconds where enumerating the ports
// costs milliseconds, so the port watch can look often at no cost. "" when unreadable.
std::string TtyDevicesSignature() {
    DIR* dir = opendir("/sys/class/tty");
    if (dir == nullptr) return {};
    std::vector<std::string> entries;
    while (const dirent* entry = readdir(dir))
        entries.push_back(std::string(entry->d_name) + ':' + std::to_string(entry->d_ino));
    closedir(dir);
    std::sort(entries.begin(), entries.end());
    std::string signature;
    for (const std::string& entry : entries) signature += entry + '/';
    return signature;
}
#endif

struct Enumeration {
    std::string signature;  // of the tty devices just before the enumeration
    std::vector<PortEntry> devices;
};

Enumeration Enumerate() {
    Enumeration result;
#ifdef Q_OS_LINUX
    result.signature = TtyDevicesSignature();
#endif
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        PortEntry entry{0, info.systemLocation().toStdString(), info.description().toStdString(),
                        ""};
        if (!info.serialNumber().isEmpty() && info.hasVendorIdentifier() &&
            info.hasProductIdentifier()) {
            entry.serialNumber = QStringLiteral("%1:%2:%3")
                                     .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                                     .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'))
                                     .arg(info.serialNumber())
                                     .toStdString();
        }
        result.devices.push_back(entry);
    }
    return result;
}

std::future<Enumeration>& LookAhead() {
    static std::future<Enumeration> ahead;
    return ahead;
}

// The serial devices the system has now, unnumbered: a fresh enumeration, or the last one
// while the kernel's list of tty devices stays the same.
std::vector<PortEntry> FoundDevices() {
    if (Scan()) return Scan()();
    static Enumeration last;
    if (LookAhead().valid()) {
        last = LookAhead().get();
        return last.devices;
    }
#ifdef Q_OS_LINUX
    const std::string now = TtyDevicesSignature();
    if (!now.empty() && now == last.signature) return last.devices;
#endif
    last = Enumerate();
    return last.devices;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");  // "\\.\\COM5" is COM5 too
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// USB and ACM adapters are what a user plugs in for the controller: they come first.
bool IsAdapter(const std::string& device) {
    const std::string base = BaseName(device);
    return base.rfind("ttyUSB", 0) == 0 || base.rfind("ttyACM", 0) == 0;
}

// Name order with digit runs compared as numbers: ttyUSB2 before ttyUSB10.
bool NaturalLess(const std::string& a, const std::string& b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        const bool db = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        if (da && db) {
            size_t ei = i;
            size_t ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
            std::string na = a.substr(i, ei - i);
            std::string nb = b.substr(j, ej - j);
            na.erase(0, std::min(na.find_first_not_of('0'), na.size()));
            nb.erase(0, std::min(nb.find_first_not_of('0'), nb.size()));
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j]) return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

std::set<std::string> ConsoleNames(const std::string& console) {
    std::set<std::string> names;
    std::istringstream words(console);
    for (std::string word; words >> word;) names.insert(BaseName(word));
    return names;
}

// The devices the kernel writes its console to ("tty0 ttyS0"); empty where unknown.
std::string SystemConsole() {
#ifdef Q_OS_LINUX
    QFile active(QStringLiteral("/sys/class/tty/console/active"));
    if (active.open(QIODevice::ReadOnly)) return active.readAll().toStdString();
#endif
    return {};
}

std::vector<PortEntry> PinList() {
    std::vector<PortEntry> pins;
    for (const auto& [number, pin] : Pins()) pins.push_back(pin);
    return pins;
}

#ifdef Q_OS_WIN
int WindowsNumber(const std::string& name) {
    if (name.size() < 4 || name.compare(0, 3, "COM") != 0) return 0;
    int number = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
        number = number * 10 + (name[i] - '0');
        if (number > kLastPort) return 0;
    }
    return number;
}
#endif

}  // namespace

void PortTablePin(int number, const std::string& device, const std::string& description) {
    if (number < kFirstPort || number > kLastPort) return;
    if (device.empty()) {
        Pins().erase(number);
        return;
    }
    Pins()[number] = PortEntry{number, device, description};
}

int PortTablePinAddress(const std::string& address) {
    for (const auto& [number, pin] : Pins())
        if (pin.device == address) return number;
    std::set<int> used;
    for (const PortEntry& entry : PortTableList()) used.insert(entry.number);
    for (int number = kFirstPort; number <= kLastPort; ++number) {
        if (used.count(number) != 0) continue;
        PortTablePin(number, address, "network port");
        return number;
    }
    return 0;
}

void PortTableClearPins() {
    Pins().clear();
    Memory().clear();
}

bool PortTableHasPins() {
    return !Pins().empty();
}

bool PortTableDevicePresent(const std::string& device) {
    if (device.empty()) return false;
    const std::vector<PortEntry> found = FoundDevices();
    return std::any_of(found.begin(), found.end(), [&](const PortEntry& f) {
        return f.device == device || BaseName(f.device) == device;
    });
}

void PortTableSetScan(std::function<std::vector<PortEntry>()> scan) {
    Scan() = std::move(scan);
}

std::string PortIdentity(const PortEntry& entry) {
    return entry.serialNumber.empty() ? "path:" + entry.device : "usb:" + entry.serialNumber;
}

std::vector<PortEntry> NumberPorts(const std::vector<PortEntry>& found,
                                   const std::vector<PortEntry>& pins,
                                   const std::string& consoleDevice, PortNumberMemory* memory) {
    std::vector<PortEntry> table;
    std::set<int> usedNumbers;
    std::set<std::string> usedDevices;
    for (PortEntry pin : pins) {
        if (pin.number < kFirstPort || pin.number > kLastPort || pin.device.empty()) continue;
        if (!usedNumbers.insert(pin.number).second) continue;
        if (pin.description.empty()) {
            const auto same = std::find_if(found.begin(), found.end(), [&](const PortEntry& f) {
                return f.device == pin.device;
            });
            if (same != found.end()) pin.description = same->description;
        }
        usedDevices.insert(pin.device);
        table.push_back(pin);
    }

    // An explicit pin wins even for the console; found devices never number it.
    const std::set<std::string> console = ConsoleNames(consoleDevice);
    std::vector<PortEntry> candidates;
    for (const PortEntry& f : found) {
        if (f.device.empty() || console.count(BaseName(f.device)) != 0) continue;
        if (!usedDevices.insert(f.device).second) continue;
        candidates.push_back(f);
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const PortEntry& a, const PortEntry& b) {
                         const bool adapterA = IsAdapter(a.device);
                         const bool adapterB = IsAdapter(b.device);
                         if (adapterA != adapterB) return adapterA;
                         return NaturalLess(a.device, b.device);
                     });

    // Devices seen before take their numbers back; the numbers of devices that are away
    // stay reserved for them.
    PortNumberMemory none;
    PortNumberMemory& given = memory != nullptr ? *memory : none;
    std::set<int> reserved;
    for (const auto& [identity, number] : given) reserved.insert(number);
    std::vector<PortEntry> fresh;
    for (PortEntry& c : candidates) {
        const auto known = given.find(PortIdentity(c));
        if (known != given.end() && usedNumbers.insert(known->second).second) {
            c.number = known->second;
            table.push_back(c);
        } else {
            fresh.push_back(c);
        }
    }
    int next = kFirstPort;
    for (PortEntry& c : fresh) {
        while (next <= kLastPort && (usedNumbers.count(next) != 0 || reserved.count(next) != 0))
            ++next;
        if (next > kLastPort) break;
        c.number = next;
        usedNumbers.insert(next);
        given[PortIdentity(c)] = next;
        table.push_back(c);
    }
    std::sort(table.begin(), table.end(),
              [](const PortEntry& a, const PortEntry& b) { return a.number < b.number; });
    return table;
}

void PortTableLookAhead() {
    if (!LookAhead().valid()) LookAhead() = std::async(std::launch::async, Enumerate);
}

std::vector<PortEntry> PortTableList() {
    const std::vector<PortEntry> found = FoundDevices();
#ifdef Q_OS_WIN
    // COM n is "COMn": the system's own numbering, pins on top.
    std::map<int, PortEntry> table;
    for (const PortEntry& f : found) {
        const std::string name = BaseName(f.device);
        if (const int number = WindowsNumber(name); number != 0)
            table[number] = PortEntry{number, name, f.description};
    }
    for (const auto& [number, pin] : Pins()) table[number] = pin;
    std::vector<PortEntry> list;
    for (const auto& [number, entry] : table) list.push_back(entry);
    return list;
#else
    return NumberPorts(found, PinList(), SystemConsole(), &Memory());
#endif
}

std::string PortTableDevice(int number) {
    if (number < kFirstPort || number > kLastPort) return {};
    const auto pin = Pins().find(number);
    if (pin != Pins().end()) return pin->second.device;
#ifdef Q_OS_WIN
    return "COM" + std::to_string(number);
#else
    for (const PortEntry& entry : PortTableList())
        if (entry.number == number) return entry.device;
    return {};
#endif
}

std::string PortTableLabel(const PortEntry& entry) {
    std::string label = "COM" + std::to_string(entry.number) + "  " + entry.device;
    if (!entry.description.empty()) label += "  " + entry.description;
    return label;
}
