#include "platform/serial/device_lock.h"

#include <QtGlobal>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/serial/device_holder.h"
#include "platform/serial/serial_port.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

std::string InUse(const std::string& device) {
    const std::string holder = DeviceHolder(device);
    return device + " is in use by " + (holder.empty() ? "another program" : holder);
}

}  // namespace

#ifdef Q_OS_UNIX
int DeviceLock::acquire(const std::string& path, std::string& reason) {
    release();
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        const int err = errno;
        reason = path + ": " + std::strerror(err);
        return err == ENOENT || err == ENOTDIR ? kComNoSerialPort : kComCannotOpen;
    }
    const std::string device = resolved;
    std::free(resolved);
    // Neither waits for a carrier nor becomes the controlling terminal.
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        // Busy: a holder made the line exclusive (a process without privileges sees that
        // before the lock).
        reason = err == EBUSY ? InUse(device) : device + ": " + std::strerror(err);
        return err == ENOENT ? kComNoSerialPort : kComCannotOpen;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        reason = InUse(device);
        return kComCannotOpen;
    }
    // A device that takes no locks at all is used without one.
    fd_ = fd;
    device_ = device;
    return 0;
}

void DeviceLock::release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}
#else
// Elsewhere (Windows) a port is opened exclusively by the system itself.
int DeviceLock::acquire(const std::string& path, std::string& /*reason*/) {
    device_ = path;
    return 0;
}

void DeviceLock::release() {}
#endif
