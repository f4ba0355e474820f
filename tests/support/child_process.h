// A program started by a test, with its stdout and stderr on pipes. Killed and reaped when
// it goes out of scope, so a failing test leaves no process behind.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

class ChildProcess {
  public:
    // inChild, if given, runs in the child just before the program starts (a resource
    // limit, say): only calls that are safe after fork belong there.
    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::vector<std::string>& extraEnvironment = {},
                 const std::function<void()>& inChild = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // The first line of stdout, without its newline; "" if none came in time.
    std::string firstLine(double timeout = 5.0);
    // Everything the stream gives within timeout (until it closes).
    std::string readAll(bool fromStderr, double timeout = 2.0);
    // Waits for the exit, sending sig first if non-zero. Returns the wait status or -1.
    int finish(int sig, double timeout = 2.0);

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string pendingOut_;
};

// True when a wait status says the program exited with code.
bool ExitedWith(int status, int code);
