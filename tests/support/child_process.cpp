#include "tests/support/child_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>

#include "tests/support/test_pty.h"

namespace {

// What arrives on fd within timeout, as text; stops early when the stream closes.
std::string ReadText(int fd, size_t want, double timeout) {
    const std::vector<uint8_t> got = ReadFor(fd, want, timeout, 0.0);
    return std::string(got.begin(), got.end());
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::vector<std::string>& extraEnvironment,
                           const std::function<void()>& inChild) {
    std::vector<std::string> all = {program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2], err[2];
    if (pipe(out) != 0) return;
    if (pipe(err) != 0) {
        close(out[0]);
        close(out[1]);
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        close(out[0]);
        close(out[1]);
        close(err[0]);
        close(err[1]);
        for (const std::string& e : extraEnvironment) putenv(const_cast<char*>(e.c_str()));
        if (inChild) inChild();
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    out_ = out[0];
    err_ = err[0];
    if (pid_ < 0) pid_ = -1;
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
    if (err_ >= 0) close(err_);
}

std::string ChildProcess::firstLine(double timeout) {
    const auto start = std::chrono::steady_clock::now();
    while (SecondsSince(start) < timeout) {
        const auto newline = pendingOut_.find('\n');
        if (newline != std::string::npos) {
            std::string line = pendingOut_.substr(0, newline);
            pendingOut_.erase(0, newline + 1);
            return line;
        }
        const std::string more = ReadText(out_, 1, 0.1);
        pendingOut_ += more;
    }
    return "";
}

std::string ChildProcess::readAll(bool fromStderr, double timeout) {
    std::string text = fromStderr ? std::string() : std::exchange(pendingOut_, std::string());
    return text + ReadText(fromStderr ? err_ : out_, 1 << 20, timeout);
}

int ChildProcess::finish(int sig, double timeout) {
    if (pid_ <= 0) return -1;
    if (sig != 0) kill(pid_, sig);
    const auto start = std::chrono::steady_clock::now();
    while (SecondsSince(start) < timeout) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
}

bool ExitedWith(int status, int code) {
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == code;
}
