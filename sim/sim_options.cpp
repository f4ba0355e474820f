// Parsing of the kervano-sim command line. Values come as "--name VALUE" or "--name=VALUE".
#include "sim/sim_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace sim {

namespace {

bool toLong(const std::string& text, long low, long high, long& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 0);  // base 0: 0x.. for words
    if (errno != 0 || end == nullptr || *end != '\0' || value < low || value > high) return false;
    out = value;
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

}  // namespace

std::string parseSimOptions(const std::vector<std::string>& args, SimOptions& options) {
    constexpr long kIntMax = std::numeric_limits<int>::max();
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        const size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        // Fetches the option's value from "=VALUE" or the next argument.
        auto take = [&](std::string& out) {
            if (hasValue) {
                out = value;
                return true;
            }
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        auto flag = [&](bool& target) {
            if (hasValue) return false;
            target = true;
            return true;
        };

        std::string text;
        long number = 0;
        if (name == "--help" || name == "-h") {
            if (!flag(options.help)) return "--help takes no value";
        } else if (name == "--silent") {
            if (!flag(options.faults.silent)) return "--silent takes no value";
        } else if (name == "--log") {
            if (!flag(options.logFrames)) return "--log takes no value";
        } else if (name == "--param") {
            long word = 0;
            size_t sep = std::string::npos;
            if (!take(text) || (sep = text.find('=')) == std::string::npos ||
                !toLong(text.substr(0, sep), 1, 15, word) ||
                !toLong(text.substr(sep + 1), 0, 65535, number)) {
                return "--param needs WORD=VALUE (word 1-15, value 0-65535)";
            }
            options.params.emplace_back(static_cast<int>(word), static_cast<uint16_t>(number));
        } else if (name == "--corrupt-word") {
            long word = 0;
            size_t sep = std::string::npos;
            if (!take(text) || (sep = text.find('=')) == std::string::npos ||
                !toLong(text.substr(0, sep), 1, 15, word) ||
                !toLong(text.substr(sep + 1), 0, 65535, number)) {
                return "--corrupt-word needs WORD=VALUE (word 1-15, value 0-65535)";
            }
            options.faults.corruptWords[static_cast<int>(word)] = static_cast<uint16_t>(number);
        } else if (name == "--garbage") {
            if (!flag(options.faults.garbage)) return "--garbage takes no value";
        } else if (name == "--device") {
            if (!take(text) || text.empty()) return "--device needs a path";
            options.device = text;
        } else if (name == "--firmware") {
            if (!take(text)) return "--firmware needs a text";
            options.firmware = text;
        } else if (name == "--baud") {
            if (!take(text) || !toLong(text, 0, 4000000, number))
                return "--baud needs a rate from 0 to 4000000";
            options.baud = number;
        } else if (name == "--echo-word") {
            if (!take(text) || !toLong(text, 0, 0xFFFF, number))
                return "--echo-word needs a word from 0 to 0xFFFF";
            options.faults.echoWord = static_cast<int>(number);
        } else if (name == "--delay") {
            double seconds = 0.0;
            if (!take(text) || !toSeconds(text, seconds))
                return "--delay needs seconds from 0 to 3600";
            options.faults.extraDelay = seconds;
        } else if (name == "--ignore-order") {
            if (!take(text) || !toLong(text, 0, 0xFFFF, number))
                return "--ignore-order needs an order from 0 to 65535";
            options.faults.ignoredOrders.insert(static_cast<int>(number));
        } else if (name == "--ignore-block") {
            if (!take(text) || !toLong(text, 0, 0xFFFF, number))
                return "--ignore-block needs a block start from 0 to 65535";
            options.faults.ignoredBlockStarts.insert(static_cast<int>(number));
        } else if (name == "--partial") {
            if (!take(text) || !toLong(text, 0, kIntMax, number))
                return "--partial needs a byte count of 0 or more";
            options.faults.partialBytes = static_cast<int>(number);
        } else if (name == "--hangup-after") {
            if (!take(text) || !toLong(text, 0, kIntMax, number))
                return "--hangup-after needs a frame count of 0 or more";
            options.faults.hangupAfter = static_cast<int>(number);
        } else {
            return "unknown option: " + args[i];
        }
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
           "  --help              show this text\n";
}

}  // namespace sim
