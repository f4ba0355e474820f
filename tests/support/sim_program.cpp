#include "tests/support/sim_program.h"

#include <chrono>
#include <sstream>

namespace {
std::vector<std::string> WithLog(std::vector<std::string> faults) {
    faults.insert(faults.begin(), {"--baud", "19200", "--log"});
    return faults;
}
}  // namespace

SimProgram::SimProgram(const std::vector<std::string>& faults)
    : process_(KV_BIN_DIR "/kervano-sim", WithLog(faults)) {
    const std::string first = process_.started() ? process_.firstLine() : "";
    if (first.rfind("/dev/", 0) == 0) device_ = first;
}

void SimProgram::take(const std::string& line) {
    std::istringstream words(line);
    std::string word;
    int order = 0, word0 = 0;
    if (words >> word >> order >> word0 && word == "frame") requests_.emplace_back(order, word0);
}

bool SimProgram::waitFor(const std::string& line, double timeout) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout);
    while (std::chrono::steady_clock::now() < end) {
        const double left =
            std::chrono::duration<double>(end - std::chrono::steady_clock::now()).count();
        const std::string next = process_.firstLine(left);
        if (next.empty()) continue;
        take(next);
        if (next == line) return true;
    }
    return false;
}

const std::vector<std::pair<int, int>>& SimProgram::requests() {
    std::istringstream rest(process_.readAll(false, 0.2));
    for (std::string line; std::getline(rest, line);) take(line);
    return requests_;
}

std::vector<int> SimProgram::orders() {
    std::vector<int> out;
    for (const auto& request : requests()) out.push_back(request.first);
    return out;
}
