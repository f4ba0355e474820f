// One owner per serial device, whatever name it is opened by (a /dev/serial/by-id/ link or
// any other). The device is known by its own path, links resolved, and held by an
// exclusive lock on a descriptor of its own. The lock is taken before the port is opened,
// so a second program is turned away before it changes anything on the line (its settings,
// its exclusive mode), and the program that holds the device never notices. The kernel
// drops the lock with the process, so a program that died leaves nothing stale behind.
#pragma once

#include <string>

class DeviceLock {
  public:
    DeviceLock() = default;
    ~DeviceLock() { release(); }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

    // Locks the device at path. Returns 0, kComNoSerialPort when nothing is there, or
    // kComCannotOpen when another program holds it or it cannot be opened; reason then
    // says why and, for a held device, which process holds it.
    int acquire(const std::string& path, std::string& reason);
    void release();
    // The device's own path (links resolved), once acquired: the port is opened by it, so
    // its lock file is named after the device, not after the link.
    const std::string& device() const { return device_; }

  private:
    int fd_ = -1;
    std::string device_;
};
