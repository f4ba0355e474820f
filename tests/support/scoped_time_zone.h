// Sets the time zone (TZ) for a test's lifetime and restores the one before, so that local
// times in files are known text.
#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

class ScopedTimeZone {
  public:
    explicit ScopedTimeZone(const char* zone) {
        const char* old = std::getenv("TZ");
        hadZone_ = old != nullptr;
        if (hadZone_) saved_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (hadZone_)
            setenv("TZ", saved_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  private:
    std::string saved_;
    bool hadZone_ = false;
};
