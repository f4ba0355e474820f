#include "platform/serial/low_latency.h"

#ifdef __linux__
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>
#endif

std::string RequestLowLatency(long long handle, const std::string& path) {
#ifdef __linux__
    const int fd = static_cast<int>(handle);
    serial_struct settings{};
    bool set = ::ioctl(fd, TIOCGSERIAL, &settings) == 0;
    if (set && (settings.flags & ASYNC_LOW_LATENCY) == 0) {
        settings.flags |= ASYNC_LOW_LATENCY;
        set = ::ioctl(fd, TIOCSSERIAL, &settings) == 0;
    }
    if (!set) return "Low-latency mode not set on " + path + ": " + std::strerror(errno);
    return "Low-latency mode on (" + path + ")";
#else
    (void)handle;
    (void)path;
    return {};
#endif
}
