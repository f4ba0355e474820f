// Limits on the size of the files a process may write (RLIMIT_FSIZE, as `ulimit -f` sets
// it): a write beyond the limit fails part-way, as on a disk that fills up.
#pragma once

#include <signal.h>
#include <sys/resource.h>

// For this process while it lives, with SIGXFSZ ignored so that the write fails with EFBIG
// instead of ending the test; both are restored when it goes.
class ScopedFileSizeLimit {
  public:
    explicit ScopedFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
        previous_ = signal(SIGXFSZ, SIG_IGN);
    }
    ~ScopedFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, previous_);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    sighandler_t previous_ = SIG_DFL;
};

// For a child about to start a program (ChildProcess's inChild): the limit alone, SIGXFSZ
// at its default, so whatever the program does about it is its own doing.
inline void LimitFileSizeInChild(rlim_t bytes) {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, SIG_DFL);
}
