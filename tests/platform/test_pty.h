// A pseudo-terminal pair made by the test itself: the slave path is what the serial-port
// service opens, the master end plays the device on the other side of the line.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

class TestPty {
  public:
    TestPty() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        const char* name = ptsname(master_);
        if (name == nullptr) return;
        slavePath_ = name;
        // Held open so the line survives the service closing and reopening it, and raw so
        // the terminal layer neither echoes nor edits what passes.
        keepAlive_ = ::open(name, O_RDWR | O_NOCTTY);
        if (keepAlive_ < 0) return;
        termios raw{};
        tcgetattr(keepAlive_, &raw);
        cfmakeraw(&raw);
        tcsetattr(keepAlive_, TCSANOW, &raw);
    }
    ~TestPty() {
        if (keepAlive_ >= 0) ::close(keepAlive_);
        closeMaster();
    }
    TestPty(const TestPty&) = delete;
    TestPty& operator=(const TestPty&) = delete;

    bool ok() const { return master_ >= 0 && keepAlive_ >= 0 && !slavePath_.empty(); }
    const std::string& slavePath() const { return slavePath_; }

    // The device sends bytes down the line.
    bool send(const std::vector<unsigned char>& bytes) {
        return ::write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // What the device received, waiting up to timeoutMs for count bytes.
    std::vector<unsigned char> receive(size_t count, int timeoutMs = 1000) {
        std::vector<unsigned char> bytes;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (bytes.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd pfd{master_, POLLIN, 0};
            if (left.count() <= 0 || poll(&pfd, 1, static_cast<int>(left.count())) <= 0) break;
            unsigned char chunk[256];
            const ssize_t n = ::read(master_, chunk, std::min(sizeof chunk, count - bytes.size()));
            if (n <= 0) break;
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        return bytes;
    }

    // Bytes the terminal layer holds for the slave side, not yet taken by any reader.
    int kernelQueued() const {
        int n = 0;
        return ioctl(keepAlive_, FIONREAD, &n) == 0 ? n : -1;
    }

    // Waits until the terminal layer holds count bytes for the slave side.
    bool waitKernelQueued(int count, int timeoutMs = 1000) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (kernelQueued() < count) {
            if (std::chrono::steady_clock::now() > end) return false;
            usleep(1000);
        }
        return true;
    }

    // The device hangs up: the slave side sees the line go away.
    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

  private:
    int master_ = -1;
    int keepAlive_ = -1;
    std::string slavePath_;
};

// 36-byte frames as the controller sends them: sync byte first, then a counting pattern.
inline std::vector<unsigned char> TestFrame(unsigned char seed, size_t size = 36) {
    std::vector<unsigned char> frame(size);
    for (size_t i = 0; i < size; ++i) frame[i] = static_cast<unsigned char>(seed + i);
    if (size > 0) frame[0] = 0x55;
    return frame;
}
