#include "console/command_line.h"

#include <algorithm>
#include <cctype>

namespace kervano {

namespace {

constexpr int kLowestCom = 1;
constexpr int kHighestCom = 255;
constexpr int kRam = 1;
constexpr int kEeprom = 2;

// Qt's own options, handed to the application object untouched. Those in the first list
// take a value (as the next argument, or after '='); Qt accepts them with one dash or two.
const char* const kQtOptionsWithValue[] = {
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qwindowgeometry",
    "qwindowtitle",
    "qwindowicon",
    "session",
    "display",
    "geometry",
    "title",
    "icon",
    "name",
    "style",
    "stylesheet",
    "qmljsdebugger",
};
const char* const kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "testability"};

bool Listed(const std::string& name, const char* const* first, const char* const* last) {
    return std::find(first, last, name) != last;
}

// The name of a Qt option ("platform" for "-platform", "--platform=xcb"), "" otherwise.
std::string QtOptionName(const std::string& arg) {
    if (arg.size() < 2 || arg[0] != '-') return "";
    std::string name = arg.substr(arg[1] == '-' ? 2 : 1);
    name = name.substr(0, name.find('='));
    if (Listed(name, std::begin(kQtOptionsWithValue), std::end(kQtOptionsWithValue)) ||
        Listed(name, std::begin(kQtFlags), std::end(kQtFlags)))
        return name;
    return "";
}

bool TakesValue(const std::string& qtName) {
    return Listed(qtName, std::begin(kQtOptionsWithValue), std::end(kQtOptionsWithValue));
}

bool AllDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Checks one --port value against the ones already given; "" when it is good.
std::string ParsePort(const std::string& value, const std::vector<PortOption>& given,
                      PortOption& option) {
    const auto eq = value.find('=');
    if (eq == std::string::npos)
        return "--port wants N=DEVICE (for example 1=/dev/ttyUSB0), got '" + value + "'";
    const std::string number = value.substr(0, eq);
    const std::string device = value.substr(eq + 1);
    if (!AllDigits(number))
        return "--port " + value + ": '" + number + "' is not a COM number (1-255)";
    // Leading zeros are allowed, any length: compare without converting a huge number.
    const std::string digits =
        number.substr(std::min(number.find_first_not_of('0'), number.size() - 1));
    const int n = digits.size() > 3 ? kHighestCom + 1 : std::stoi(digits);
    if (n < kLowestCom || n > kHighestCom)
        return "--port " + value + ": COM number " + number + " is outside the range 1-255";
    if (device.empty())
        return "--port " + value + ": no device after '=' (a device path, or 'sim')";
    for (const PortOption& earlier : given) {
        if (earlier.number == n) {
            return "--port " + value + ": COM" + std::to_string(n) + " is already given (" +
                   std::to_string(n) + "=" + earlier.device + ")";
        }
    }
    option.number = n;
    option.device = device;
    return "";
}

std::string ParseMemory(const std::string& option, const std::string& value, int& memory) {
    const std::string name = Lower(value);
    if (name == "ram") {
        memory = kRam;
    } else if (name == "eeprom") {
        memory = kEeprom;
    } else {
        return option + " wants ram or eeprom, got '" + value + "'";
    }
    return "";
}

const char* ModeOption(RunMode mode) {
    switch (mode) {
        case RunMode::ReadParams:
            return "--read-params";
        case RunMode::WriteParams:
            return "--write-params";
        case RunMode::Capture:
            return "--capture";
        case RunMode::Compare:
            return "--compare";
        default:
            return "";
    }
}

// What the options that belong to one mode must agree on, once all are read.
std::string CheckCombination(const CommandLine& line, const std::string& fromOrTo, bool verify) {
    if (fromOrTo == "--from" && line.mode != RunMode::ReadParams)
        return "--from belongs to --read-params";
    if (fromOrTo == "--to" && line.mode != RunMode::WriteParams)
        return "--to belongs to --write-params";
    if (verify && line.mode != RunMode::WriteParams) return "--verify belongs to --write-params";
    if (!IsHeadless(line.mode) || line.ports.empty()) return "";
    // A headless mode talks to COM1; a device given for another number alone would leave
    // the mode talking to whatever else COM1 is.
    for (const PortOption& port : line.ports) {
        if (port.number == 1) return "";
    }
    return std::string(ModeOption(line.mode)) +
           " talks to COM1: give the controller as --port 1=DEVICE";
}

}  // namespace

bool IsHeadless(RunMode mode) {
    return mode == RunMode::ReadParams || mode == RunMode::WriteParams ||
           mode == RunMode::Capture || mode == RunMode::Compare;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    line.qtArguments.push_back(args.empty() ? std::string("kervano-scope") : args[0]);
    std::string fromOrTo;  // which of --from / --to was given, if any
    bool verify = false;

    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (const std::string qt = QtOptionName(arg); !qt.empty()) {
            line.qtArguments.push_back(arg);
            if (TakesValue(qt) && arg.find('=') == std::string::npos) {
                if (i + 1 >= args.size()) {
                    line.error = arg + " needs a value";
                    return line;
                }
                line.qtArguments.push_back(args[++i]);
            }
            continue;
        }

        // Our own options: --name VALUE or --name=VALUE.
        std::string name = arg;
        std::string value;
        bool inlineValue = false;
        if (arg.rfind("--", 0) == 0 && arg.find('=') != std::string::npos) {
            name = arg.substr(0, arg.find('='));
            value = arg.substr(arg.find('=') + 1);
            inlineValue = true;
        }
        // Fetches the value; a following long option is not taken for one.
        auto takeValue = [&]() {
            if (inlineValue) return true;
            if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) return false;
            value = args[++i];
            return true;
        };
        auto noValue = [&]() {
            if (inlineValue) line.error = name + " takes no value";
            return !inlineValue;
        };

        if (name == "--help" || name == "-h") {
            if (!noValue()) return line;
            line.mode = RunMode::Help;
            return line;
        }
        if (name == "--version") {
            if (!noValue()) return line;
            line.mode = RunMode::Version;
            return line;
        }
        if (name == "--port") {
            if (!takeValue()) {
                line.error = "--port needs a value: --port N=DEVICE (for example 1=/dev/ttyUSB0)";
                return line;
            }
            PortOption option;
            line.error = ParsePort(value, line.ports, option);
            if (!line.error.empty()) return line;
            line.ports.push_back(option);
        } else if (name == "--read-params" || name == "--write-params" || name == "--capture") {
            const RunMode mode = name == "--read-params"    ? RunMode::ReadParams
                                 : name == "--write-params" ? RunMode::WriteParams
                                                            : RunMode::Capture;
            if (!takeValue() || value.empty()) {
                line.error = name + " needs a file name";
                return line;
            }
            if (line.mode != RunMode::Panel) {
                line.error = name + " cannot be combined with " + ModeOption(line.mode) +
                             ": one mode at a time";
                return line;
            }
            line.mode = mode;
            line.file = value;
        } else if (name == "--compare") {
            // The file is optional: what follows is one only when it is no option.
            if (inlineValue && value.empty()) {
                line.error = "--compare= needs a file name (or give --compare alone)";
                return line;
            }
            if (!inlineValue && i + 1 < args.size() && args[i + 1].rfind('-', 0) != 0)
                value = args[++i];
            if (line.mode != RunMode::Panel) {
                line.error = "--compare cannot be combined with " +
                             std::string(ModeOption(line.mode)) + ": one mode at a time";
                return line;
            }
            line.mode = RunMode::Compare;
            line.file = value;
        } else if (name == "--from" || name == "--to") {
            if (!takeValue()) {
                line.error = name + " needs ram or eeprom";
                return line;
            }
            if (!fromOrTo.empty()) {
                line.error = name + " is given twice";
                if (fromOrTo != name) line.error = name + " cannot be combined with " + fromOrTo;
                return line;
            }
            line.error = ParseMemory(name, value, line.memory);
            if (!line.error.empty()) return line;
            fromOrTo = name;
        } else if (name == "--verify") {
            if (!noValue()) return line;
            verify = true;
        } else if (arg.rfind("-", 0) == 0) {
            line.error = "unknown option '" + arg + "' (see kervano-scope --help)";
            return line;
        } else {
            line.error = "unexpected argument '" + arg + "' (see kervano-scope --help)";
            return line;
        }
    }
    line.verify = verify;
    line.error = CheckCombination(line, fromOrTo, verify);
    return line;
}

std::string VersionText() {
    return "kervano-scope " KV_VERSION;
}

std::string UsageText() {
    return "Usage: kervano-scope [--port N=DEVICE]... [Qt options]\n"
           "       kervano-scope [--port 1=DEVICE] --read-params FILE [--from ram|eeprom]\n"
           "       kervano-scope [--port 1=DEVICE] --write-params FILE [--to ram|eeprom] "
           "[--verify]\n"
           "       kervano-scope [--port 1=DEVICE] --capture FILE.csv\n"
           "       kervano-scope [--port 1=DEVICE] --compare [FILE]\n"
           "Service and tuning tool for the KERVANO two-channel sensor controller.\n"
           "\n"
           "  --port N=DEVICE        put DEVICE behind COM N (1-255); DEVICE is a serial\n"
           "                         device path (/dev/ttyUSB0, /dev/pts/7) or 'sim' for the\n"
           "                         built-in simulated controller. One per COM number.\n"
           "  --help, -h             show this text\n"
           "  --version              show the version\n"
           "\n"
           "Without a window, on the controller behind COM1 (the panel opens COM1 too):\n"
           "  --read-params FILE     read the parameter set and write it to FILE\n"
           "  --from ram|eeprom      where --read-params reads from (default ram)\n"
           "  --write-params FILE    load FILE and send it to the controller\n"
           "  --to ram|eeprom        where --write-params writes to (default ram)\n"
           "  --verify               read the set back after --write-params and compare\n"
           "  --capture FILE.csv     capture both data curves and write them as CSV\n"
           "  --compare [FILE]       print RAM, EEPROM, the defaults (and FILE's full packet)\n"
           "                         side by side, a '*' before each parameter that differs\n"
           "Each step's status text is printed as one line. Exit status: 0 success,\n"
           "1 the controller failed (no answer, wrong echo, time-out, mismatch, capture\n"
           "incomplete, a difference found by --compare), 2 a usage or file error.\n"
           "\n"
           "Qt's own options (-platform NAME, -style NAME, -geometry WxH+X+Y, -reverse ...)\n"
           "are passed to Qt. The panel opens COM1 at start; choose another port on it.\n";
}

}  // namespace kervano
