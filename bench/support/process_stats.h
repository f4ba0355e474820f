// What a process costs, read from the kernel: processor time (all threads) and memory.
#pragma once

#include <sys/types.h>

namespace bench {

// Processor seconds used by all threads of pid (0: this process) so far; -1 if unknown.
double CpuSeconds(pid_t pid = 0);
// Resident memory now and at its peak, in MiB, of pid (0: this process); -1 if unknown.
double ResidentMiB(pid_t pid = 0);
double PeakResidentMiB(pid_t pid = 0);
// Seconds on the monotonic clock (the clock the tool's start-up report uses).
double MonotonicSeconds();

// Processor share of pid over a span: start it, then ask for the share (1.0 = one core).
class CpuSpan {
  public:
    explicit CpuSpan(pid_t pid = 0);
    double seconds() const;
    double share() const;

  private:
    pid_t pid_;
    double wall_;
    double cpu_;
};

}  // namespace bench
