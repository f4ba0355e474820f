// kervano-sim as a child process on a pty of its own, paced like a 19200-baud line and
// logging every request it takes in ("frame ORDER WORD0"), for tests that run the real
// tool against it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tests/support/child_process.h"

class SimProgram {
  public:
    explicit SimProgram(const std::vector<std::string>& faults = {});

    bool started() const { return !device_.empty(); }
    // The pty's slave path, what the tool opens.
    const std::string& device() const { return device_; }
    // Waits up to timeout for the log line (a request taken in, "frame 3 0"); false when it
    // did not come.
    bool waitFor(const std::string& line, double timeout = 10.0);
    // The order of every request taken in so far, in turn.
    std::vector<int> orders();
    // The (order, word 0) of every request taken in so far, in turn.
    const std::vector<std::pair<int, int>>& requests();

  private:
    void take(const std::string& line);

    ChildProcess process_;
    std::string device_;
    std::vector<std::pair<int, int>> requests_;
};
