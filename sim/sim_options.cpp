// Parsing of the kervano-sim command line by QCommandLineParser. Values come as
// "--name VALUE" or "--name=VALUE".
#include "sim/sim_options.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace sim {

namespace {

constexpr long kIntMax = std::numeric_limits<int>::max();

bool toLong(const std::string& text, long low, long high, long& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 0);  // base 0: 0x.. for words
    if (errno != 0 || end == nullptr || *end != '\0' || value < low || value > high) return false;
    out = value;
    return true;
}

template <typename Field>
bool toField(const std::string& text, long low, long high, Field& field) {
    long value = 0;
    if (!toLong(text, low, high, value)) return false;
    field = static_cast<Field>(value);
    return true;
}

bool toSeconds(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || end == nullptr || *end != '\0' || !std::isfinite(value) || value < 0.0 ||
        value > 3600.0)
        return false;
    out = value;
    return true;
}

// WORD=VALUE for a word of the full packet: word 1-15, value 0-65535.
std::optional<std::pair<int, uint16_t>> toWordValue(const std::string& text) {
    std::pair<int, uint16_t> wordValue;
    const size_t sep = text.find('=');
    if (sep == std::string::npos || !toField(text.substr(0, sep), 1, 15, wordValue.first) ||
        !toField(text.substr(sep + 1), 0, 65535, wordValue.second))
        return std::nullopt;
    return wordValue;
}

template <typename Field, typename Given>
bool set(Field& field, const Given& value) {
    field = value;
    return true;
}

bool addWord(const std::string& text, std::set<int>& words) {
    int word = 0;
    if (!toField(text, 0, 0xFFFF, word)) return false;
    words.insert(word);
    return true;
}

// Each option, what its value must be (told when it is missing or bad; nullptr for a flag)
// and where it goes. A flag gets "" for its value.
using Value = const std::string&;
struct Option {
    const char* name;
    const char* needs;
    bool (*apply)(Value value, SimOptions& options);
};
const Option kOptions[] = {
    {"help", nullptr, [](Value, SimOptions& o) { return set(o.help, true); }},
    {"version", nullptr, [](Value, SimOptions& o) { return set(o.version, true); }},
    {"silent", nullptr, [](Value, SimOptions& o) { return set(o.faults.silent, true); }},
    {"log", nullptr, [](Value, SimOptions& o) { return set(o.logFrames, true); }},
    {"garbage", nullptr, [](Value, SimOptions& o) { return set(o.faults.garbage, true); }},
    {"param", "WORD=VALUE (word 1-15, value 0-65535)",
     [](Value v, SimOptions& o) {
         const auto wordValue = toWordValue(v);
         if (wordValue) o.params.push_back(*wordValue);
         return wordValue.has_value();
     }},
    {"corrupt-word", "WORD=VALUE (word 1-15, value 0-65535)",
     [](Value v, SimOptions& o) {
         const auto wordValue = toWordValue(v);
         if (wordValue) o.faults.corruptWords[wordValue->first] = wordValue->second;
         return wordValue.has_value();
     }},
    {"device", "a path", [](Value v, SimOptions& o) { return !v.empty() && set(o.device, v); }},
    {"firmware", "a text", [](Value v, SimOptions& o) { return set(o.firmware, v); }},
    {"baud", "a rate from 0 to 4000000",
     [](Value v, SimOptions& o) { return toField(v, 0, 4000000, o.baud); }},
    {"echo-word", "a word from 0 to 0xFFFF",
     [](Value v, SimOptions& o) { return toField(v, 0, 0xFFFF, o.faults.echoWord); }},
    {"delay", "seconds from 0 to 3600",
     [](Value v, SimOptions& o) { return toSeconds(v, o.faults.extraDelay); }},
    {"ignore-order", "an order from 0 to 65535",
     [](Value v, SimOptions& o) { return addWord(v, o.faults.ignoredOrders); }},
    {"ignore-block", "a block start from 0 to 65535",
     [](Value v, SimOptions& o) { return addWord(v, o.faults.ignoredBlockStarts); }},
    {"partial", "a byte count of 0 or more",
     [](Value v, SimOptions& o) { return toField(v, 0, kIntMax, o.faults.partialBytes); }},
    {"hangup-after", "a frame count of 0 or more",
     [](Value v, SimOptions& o) { return toField(v, 0, kIntMax, o.faults.hangupAfter); }},
};

// The option a name found by the parser stands for; "h" is --help.
const Option& findOption(const QString& name) {
    const QString longName = name == "h" ? QStringLiteral("help") : name;
    return *std::find_if(std::begin(kOptions), std::end(kOptions),
                         [&](const Option& option) { return longName == option.name; });
}

// Arguments reach the parser byte for byte (Latin-1 maps each byte to one character), so a
// path or firmware text in any encoding comes back as it was given.
QString text(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

std::string parseSimOptions(const std::vector<std::string>& args, SimOptions& options) {
    QStringList arguments{QStringLiteral("kervano-sim")};
    for (const std::string& arg : args) arguments << text(arg);
    QCommandLineParser parser;
    for (const Option& option : kOptions) {
        QStringList names{QString::fromLatin1(option.name)};
        if (names[0] == "help") names.prepend(QStringLiteral("h"));
        parser.addOption(QCommandLineOption(names, QString(),
                                            option.needs ? QStringLiteral("value") : QString()));
    }
    // Its own complaints are not used: each mistake is told below, the first on the line.
    parser.parse(arguments);

    // The parser names the options it found in their order; an argument that is not the next
    // of them, spelled "--name", "--name=VALUE" or "-h", is no option.
    const QStringList found = parser.optionNames();
    std::map<QString, qsizetype> valuesTaken;
    for (size_t i = 0, next = 0; i < args.size(); ++i, ++next) {
        const QString name = found.value(static_cast<qsizetype>(next));
        const QString spelled = (name.size() == 1 ? "-" : "--") + name;
        const QString& argument = arguments[static_cast<qsizetype>(i) + 1];
        const bool inlineValue = name.size() > 1 && argument.startsWith(spelled + '=');
        if (name.isEmpty() || (argument != spelled && !inlineValue))
            return "unknown option: " + args[i];
        const Option& option = findOption(name);
        const std::string said = std::string("--") + option.name;
        if (!option.needs && inlineValue) return said + " takes no value";
        // A value not given after '=' is the next argument, whatever it is.
        if (option.needs && !inlineValue && ++i >= args.size())
            return said + " needs " + option.needs;
        const QString value = option.needs ? parser.values(name).value(valuesTaken[name]++) : "";
        if (!option.apply(value.toLatin1().toStdString(), options))
            return said + " needs " + option.needs;
    }
    return "";
}

std::string simUsage() {
    return "Usage: kervano-sim [options]\n"
           "Emulates the two-channel controller on a serial line. Without --device it opens\n"
           "a pseudo-terminal and prints the path a client opens as the first line.\n"
           "\n"
           "  --device PATH       serve on an existing tty (19200 baud, 8N1, raw)\n"
           "  --baud B            pace requests and replies as a line of B baud would\n"
           "                      (default 0: no pacing)\n"
           "  --firmware TEXT     firmware text of order 7 (default \"SIM 1.31\")\n"
           "  --param K=V         store V in word K (1-15) of the full packet, RAM and EEPROM\n"
           "  --log               print \"frame ORDER WORD0\" for every request taken in\n"
           "Faults:\n"
           "  --silent            never answer\n"
           "  --echo-word N       payload word 0 of the echo reply (default 0x00AA)\n"
           "  --delay SECONDS     extra delay before every reply\n"
           "  --ignore-order N    leave order N unanswered (repeatable)\n"
           "  --ignore-block N    leave data blocks starting at N unanswered (repeatable)\n"
           "  --garbage           prefix every reply with a few garbage bytes\n"
           "  --partial N         cut every reply to N bytes\n"
           "  --corrupt-word K=V  keep V in word K (1-15) of the full packet whatever is sent\n"
           "  --hangup-after N    answer N frames, then hang up the line\n"
           "  --help              show this text\n"
           "  --version           print the program's name and version\n";
}

}  // namespace sim
