// Command line of the kervano-sim program: where to serve, the line speed and the faults.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sim/controller_model.h"

namespace sim {

struct SimOptions {
    Faults faults;
    long baud = 0;         // 0: replies are not paced
    std::string device;    // empty: a pty pair of its own
    std::string firmware;  // empty: the model's own text
    bool help = false;
    bool version = false;
    bool logFrames = false;  // one stdout line per request frame taken in
    // Full-packet words to store in RAM and EEPROM before serving: (word, value).
    std::vector<std::pair<int, uint16_t>> params;
};

// Parses the arguments after the program name into options. Returns "" on success, else a
// message naming the bad argument.
std::string parseSimOptions(const std::vector<std::string>& args, SimOptions& options);

// The --help text.
std::string simUsage();

}  // namespace sim
