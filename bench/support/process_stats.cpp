#include "bench/support/process_stats.h"

#include <dirent.h>
#include <sys/resource.h>

#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

namespace bench {

namespace {

std::string ProcDir(pid_t pid) {
    return pid == 0 ? std::string("/proc/self") : "/proc/" + std::to_string(pid);
}

// A "Name:   value kB" line of /proc/PID/status, in MiB.
double StatusMiB(pid_t pid, const std::string& name) {
    std::ifstream status(ProcDir(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(name + ":", 0) != 0) continue;
        std::istringstream fields(line.substr(name.size() + 1));
        double kib = 0;
        if (fields >> kib) return kib / 1024.0;
    }
    return -1.0;
}

}  // namespace

double CpuSeconds(pid_t pid) {
    if (pid == 0) {
        // Threads that have ended count too.
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    }
    // Each thread's schedstat starts with its time on a processor in nanoseconds: finer
    // than the clock ticks of /proc/PID/stat.
    const std::string tasks = ProcDir(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (dir == nullptr) return -1.0;
    double total = 0.0;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
        double ns = 0;
        if (stat >> ns) total += ns * 1e-9;
    }
    closedir(dir);
    return total;
}

double ResidentMiB(pid_t pid) {
    return StatusMiB(pid, "VmRSS");
}

double PeakResidentMiB(pid_t pid) {
    return StatusMiB(pid, "VmHWM");
}

double MonotonicSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

CpuSpan::CpuSpan(pid_t pid) : pid_(pid), wall_(MonotonicSeconds()), cpu_(CpuSeconds(pid)) {}

double CpuSpan::seconds() const {
    return MonotonicSeconds() - wall_;
}

double CpuSpan::share() const {
    return (CpuSeconds(pid_) - cpu_) / seconds();
}

}  // namespace bench
