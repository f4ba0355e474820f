// Helpers for the emulator tests: request frames, big-endian words, and a raw tty client
// that reads with a time-out.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace simtest {

// A 36-byte request: sync 0x0055, the order, the given payload words (the rest zero).
inline std::vector<uint8_t> request(int order, std::initializer_list<uint16_t> words = {}) {
    std::vector<uint8_t> frame = {0x00, 0x55, static_cast<uint8_t>(order >> 8),
                                  static_cast<uint8_t>(order & 0xFF)};
    int k = 0;
    for (uint16_t w : words) {
        frame.push_back(static_cast<uint8_t>(w >> 8));
        frame.push_back(static_cast<uint8_t>(w & 0xFF));
        ++k;
    }
    for (; k < 16; ++k) {
        frame.push_back(0);
        frame.push_back(0);
    }
    return frame;
}

// The big-endian word at word index i of bytes (not counting any header).
inline uint16_t wordAt(const std::vector<uint8_t>& bytes, size_t i) {
    return static_cast<uint16_t>((bytes.at(2 * i) << 8) | bytes.at(2 * i + 1));
}

// Payload word k of a 36-byte frame.
inline uint16_t payload(const std::vector<uint8_t>& frame, size_t k) {
    return wordAt(frame, 2 + k);
}

inline bool makeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

inline double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Reads until want bytes arrived or timeout seconds passed; then keeps listening for
// settle seconds so surplus bytes show up too. Stops early on a hang-up.
inline std::vector<uint8_t> readFor(int fd, size_t want, double timeout, double settle = 0.05,
                                    bool* hungUp = nullptr) {
    std::vector<uint8_t> got;
    const auto start = std::chrono::steady_clock::now();
    double limit = timeout;
    bool reached = false;
    while (true) {
        const double left = limit - secondsSince(start);
        if (left <= 0) break;
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(left * 1000) + 1);
        if (ready <= 0) continue;
        if (p.revents & POLLIN) {
            uint8_t buffer[512];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                got.insert(got.end(), buffer, buffer + n);
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                if (hungUp) *hungUp = true;
                break;
            }
        } else if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            if (hungUp) *hungUp = true;
            break;
        }
        if (!reached && got.size() >= want) {
            reached = true;
            limit = secondsSince(start) + settle;
        }
    }
    return got;
}

inline bool writeAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// A tty opened raw for the test's lifetime.
class RawTty {
  public:
    explicit RawTty(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ >= 0 && !makeRaw(fd_)) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~RawTty() {
        if (fd_ >= 0) ::close(fd_);
    }
    RawTty(const RawTty&) = delete;
    RawTty& operator=(const RawTty&) = delete;

    int fd() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    // Sends a request and collects the answer (want bytes, or whatever came in time).
    std::vector<uint8_t> transact(const std::vector<uint8_t>& bytes, size_t want,
                                  double timeout = 1.0) {
        if (!writeAll(fd_, bytes)) return {};
        return readFor(fd_, want, timeout);
    }

  private:
    int fd_ = -1;
};

// A pty pair owned by a test: the master stays here, the slave path goes to the code under
// test as if it were a device.
class TestPty {
  public:
    TestPty() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0) return;
        const char* name = nullptr;
        if (grantpt(master_) != 0 || unlockpt(master_) != 0 ||
            (name = ptsname(master_)) == nullptr || !makeRaw(master_)) {
            ::close(master_);
            master_ = -1;
            return;
        }
        slavePath_ = name;
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~TestPty() {
        if (master_ >= 0) ::close(master_);
    }
    TestPty(const TestPty&) = delete;
    TestPty& operator=(const TestPty&) = delete;

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

  private:
    int master_ = -1;
    std::string slavePath_;
};

}  // namespace simtest
