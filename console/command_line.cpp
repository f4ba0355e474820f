#include "console/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <map>

#include "platform/serial/network_address.h"

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

// Our options; for those that take a value, what it is, as told when it is missing, and
// for the four modes, which one each chooses (Panel for the others). Written "--name
// VALUE", the value is the next argument unless that is a long option itself ("--port
// --verify" gives no port).
struct Option {
    const char* name;
    const char* needs;  // nullptr: no value
    RunMode mode;
};
const Option kOptions[] = {
    {"port", "a value: --port N=DEVICE (for example 1=/dev/ttyUSB0)", RunMode::Panel},
    {"read-params", "a file name", RunMode::ReadParams},
    {"write-params", "a file name", RunMode::WriteParams},
    {"capture", "a file name", RunMode::Capture},
    {"compare", "a file name", RunMode::Compare},  // which it may go without
    {"report", "a file name", RunMode::Report},
    {"from", "ram or eeprom", RunMode::Panel},
    {"to", "ram or eeprom", RunMode::Panel},
    {"verify", nullptr, RunMode::Panel},
    {"json", nullptr, RunMode::Panel},
    {"open", "a file name", RunMode::Panel},
    {"help", nullptr, RunMode::Panel},
    {"version", nullptr, RunMode::Panel},
};

const Option* FindOption(const std::string& name) {
    const auto* found = std::find_if(std::begin(kOptions), std::end(kOptions),
                                     [&](const auto& option) { return name == option.name; });
    return found == std::end(kOptions) ? nullptr : found;
}

// Arguments reach the parser byte for byte (Latin-1 maps each byte to one character), so a
// file name in any encoding comes back as it was given.
QString Latin1Text(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string Bytes(const QString& text) {
    return text.toLatin1().toStdString();
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
    NetworkAddress address;
    if (std::string why; IsNetworkAddress(device) && !ParseNetworkAddress(device, address, &why))
        return "--port " + value + ": " + why;
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

std::string ModeOption(RunMode mode) {
    for (const auto& option : kOptions) {
        if (option.mode == mode && mode != RunMode::Panel) return std::string("--") + option.name;
    }
    return "";
}

// The option of a mode with its file, when no other mode came before; "" when it is good.
std::string ChooseMode(const Option& option, const std::string& file, CommandLine& line) {
    const std::string name = std::string("--") + option.name;
    if (file.empty() && option.mode != RunMode::Compare) return name + " needs " + option.needs;
    if (line.mode != RunMode::Panel)
        return name + " cannot be combined with " + ModeOption(line.mode) + ": one mode at a time";
    line.mode = option.mode;
    line.file = file;
    return "";
}

// What the options that belong to one mode must agree on, once all are read.
std::string CheckCombination(const CommandLine& line, const std::string& fromOrTo, bool verify) {
    if (fromOrTo == "--from" && line.mode != RunMode::ReadParams)
        return "--from belongs to --read-params";
    if (fromOrTo == "--to" && line.mode != RunMode::WriteParams)
        return "--to belongs to --write-params";
    if (verify && line.mode != RunMode::WriteParams) return "--verify belongs to --write-params";
    if (line.json && !IsHeadless(line.mode)) return "--json belongs to the modes without a window";
    if (!line.openFile.empty() && line.mode != RunMode::Panel)
        return "--open belongs to the panel: it cannot be combined with " + ModeOption(line.mode);
    if (!IsHeadless(line.mode) || line.ports.empty()) return "";
    // A headless mode talks to COM1; a device given for another number alone would leave
    // the mode talking to whatever else COM1 is.
    for (const PortOption& port : line.ports) {
        if (port.number == 1) return "";
    }
    return ModeOption(line.mode) + " talks to COM1: give the controller as --port 1=DEVICE";
}

// The command line in two: Qt's options with their values go to qtArguments, ours to the
// parser, each as one argument "--name" or "--name=VALUE" (the parser knows no option whose
// value is optional, and would take any next argument for a value). The split ends at
// --help or --version, after which nothing counts, or at a mistake only it can see (a
// missing value), which is told once what stands before it has been checked.
struct Split {
    QStringList ours{QStringLiteral("kervano-scope")};
    std::string lastError;
};

Split SplitQtOptionsOff(const std::vector<std::string>& args,
                        std::vector<std::string>& qtArguments) {
    Split split;
    for (size_t i = 1; i < args.size() && split.lastError.empty(); ++i) {
        const std::string& arg = args[i];
        const bool hasNext = i + 1 < args.size();
        const std::string qt = QtOptionName(arg);
        const auto* option = arg.rfind("--", 0) == 0 ? FindOption(arg.substr(2)) : nullptr;
        if (!qt.empty()) {
            qtArguments.push_back(arg);
            if (!TakesValue(qt) || arg.find('=') != std::string::npos) continue;
            if (hasNext)
                qtArguments.push_back(args[++i]);
            else
                split.lastError = arg + " needs a value";
        } else if (option && option->mode == RunMode::Compare) {
            // The file is optional: what follows is one only when it is no option.
            const bool file = hasNext && args[i + 1].rfind('-', 0) != 0;
            split.ours << Latin1Text(arg + "=" + (file ? args[++i] : std::string()));
        } else if (option && option->needs) {
            if (hasNext && args[i + 1].rfind("--", 0) != 0)
                split.ours << Latin1Text(arg + "=" + args[++i]);
            else
                split.lastError = arg + " needs " + option->needs;
        } else if (arg == "--compare=") {
            split.lastError = "--compare= needs a file name (or give --compare alone)";
        } else {
            split.ours << Latin1Text(arg == "-h" ? "--help" : arg);
            if (arg == "-h" || arg == "--help" || arg == "--version") break;
        }
    }
    return split;
}

}  // namespace

bool IsHeadless(RunMode mode) {
    return mode == RunMode::ReadParams || mode == RunMode::WriteParams ||
           mode == RunMode::Capture || mode == RunMode::Compare || mode == RunMode::Report;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    line.qtArguments.push_back(args.empty() ? std::string("kervano-scope") : args[0]);
    const Split split = SplitQtOptionsOff(args, line.qtArguments);

    QCommandLineParser parser;
    for (const auto& option : kOptions) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(option.name), QString(),
                                            option.needs ? QStringLiteral("value") : QString()));
    }
    // Its own complaints are not used: each mistake is told below, the first on the line.
    parser.parse(split.ours);

    // The parser names the options it found in their order, one per argument, so an
    // argument that is not the next of them is no option of ours.
    const QStringList found = parser.optionNames();
    std::map<QString, qsizetype> valuesTaken;
    std::string fromOrTo;  // which of --from / --to was given, if any
    bool verify = false;
    for (qsizetype i = 1; i < split.ours.size() && line.error.empty(); ++i) {
        const QString& argument = split.ours[i];
        const QString name = found.value(i - 1);
        if (name.isEmpty() ||
            (argument != "--" + name && !argument.startsWith("--" + name + '='))) {
            line.error = (argument.startsWith('-') ? "unknown option '" : "unexpected argument '") +
                         Bytes(argument) + "' (see kervano-scope --help)";
            break;
        }
        const Option& entry = *FindOption(Bytes(name));
        const std::string option = "--" + Bytes(name);
        const std::string value = Bytes(parser.values(name).value(valuesTaken[name]++));
        if (!entry.needs && argument.contains('=')) {
            line.error = option + " takes no value";
        } else if (name == "help" || name == "version") {
            line.mode = name == "help" ? RunMode::Help : RunMode::Version;
            return line;
        } else if (name == "verify") {
            verify = true;
        } else if (name == "json") {
            line.json = true;
        } else if (name == "open") {
            if (value.empty())
                line.error = "--open needs a file name";
            else if (!line.openFile.empty())
                line.error = "--open is given twice";
            else
                line.openFile = value;
        } else if (name == "port") {
            PortOption port;
            line.error = ParsePort(value, line.ports, port);
            if (line.error.empty()) line.ports.push_back(port);
        } else if (name == "from" || name == "to") {
            if (fromOrTo == option)
                line.error = option + " is given twice";
            else if (!fromOrTo.empty())
                line.error = option + " cannot be combined with " + fromOrTo;
            else
                line.error = ParseMemory(option, value, line.memory);
            fromOrTo = option;
        } else {
            line.error = ChooseMode(entry, value, line);
        }
    }
    if (line.error.empty()) line.error = split.lastError;
    if (!line.error.empty()) return line;
    line.verify = verify;
    line.error = CheckCombination(line, fromOrTo, verify);
    return line;
}

std::string VersionText() {
    return "kervano-scope " KV_VERSION;
}

std::string UsageText() {
    return "Usage: kervano-scope [--port N=DEVICE]... [--open FILE.csv] [Qt options]\n"
           "       kervano-scope [--port 1=DEVICE] --read-params FILE [--from ram|eeprom]\n"
           "       kervano-scope [--port 1=DEVICE] --write-params FILE [--to ram|eeprom] "
           "[--verify]\n"
           "       kervano-scope [--port 1=DEVICE] --capture FILE.csv\n"
           "       kervano-scope [--port 1=DEVICE] --compare [FILE]\n"
           "       kervano-scope [--port 1=DEVICE] --report FILE.html|FILE.pdf\n"
           "Service and tuning tool for the KERVANO two-channel sensor controller.\n"
           "\n"
           "  --port N=DEVICE        put DEVICE behind COM N (1-255); DEVICE is a serial\n"
           "                         device path (/dev/ttyUSB0, /dev/pts/7), a network port\n"
           "                         (tcp://HOST:PORT raw, rfc2217://HOST:PORT telnet with\n"
           "                         the COM port option) or 'sim' for the built-in\n"
           "                         simulated controller. One per COM number.\n"
           "  --open FILE.csv        show a capture CSV the tool wrote in the data graphs,\n"
           "                         with its own lines, once the panel has started\n"
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
           "  --report FILE          read RAM, EEPROM and both data curves and write the\n"
           "                         service report (HTML, or PDF when FILE ends in .pdf)\n"
           "  --json                 print one JSON object per line instead: one per step\n"
           "                         and a final one with the result and the exit status\n"
           "Each step's status text is printed as one line. Exit status: 0 success,\n"
           "1 the controller failed (no answer, wrong echo, time-out, mismatch, capture\n"
           "incomplete, a difference found by --compare), 2 a usage or file error.\n"
           "\n"
           "Qt's own options (-platform NAME, -style NAME, -geometry WxH+X+Y, -reverse ...)\n"
           "are passed to Qt. The panel opens COM1 at start; choose another port on it.\n";
}

}  // namespace kervano
