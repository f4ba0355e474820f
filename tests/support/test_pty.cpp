#include "tests/support/test_pty.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

bool SetNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

}  // namespace

bool MakeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

bool PointLink(const std::string& link, const std::string& target) {
    const std::string fresh = link + ".new";
    ::unlink(fresh.c_str());
    return ::symlink(target.c_str(), fresh.c_str()) == 0 &&
           std::rename(fresh.c_str(), link.c_str()) == 0;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<uint8_t> ReadFor(int fd, size_t want, double timeout, double settle, bool* hungUp) {
    std::vector<uint8_t> got;
    const auto start = std::chrono::steady_clock::now();
    double limit = timeout;
    bool reached = false;
    while (fd >= 0) {
        const double left = limit - SecondsSince(start);
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
            limit = SecondsSince(start) + settle;
        }
    }
    return got;
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes, double timeout) {
    const auto start = std::chrono::steady_clock::now();
    size_t done = 0;
    while (fd >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
        if (SecondsSince(start) > timeout) return false;
        pollfd p{fd, POLLOUT, 0};
        poll(&p, 1, 10);
    }
    return fd >= 0;
}

TestPty::TestPty(Slave slave) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) return;
    const char* name = nullptr;
    if (grantpt(master_) != 0 || !SetNonBlocking(master_) ||
        (slave == Slave::Unlocked && unlockpt(master_) != 0) ||
        (name = ptsname(master_)) == nullptr) {
        closeMaster();
        return;
    }
    slavePath_ = name;
    locked_ = slave == Slave::Locked;
    if (locked_) return;
    keepAlive_ = ::open(name, O_RDWR | O_NOCTTY);
    if (keepAlive_ >= 0 && !MakeRaw(keepAlive_)) {
        ::close(keepAlive_);
        keepAlive_ = -1;
    }
}

TestPty::~TestPty() {
    if (keepAlive_ >= 0) ::close(keepAlive_);
    closeMaster();
}

bool TestPty::ok() const {
    return master_ >= 0 && !slavePath_.empty() && (locked_ || keepAlive_ >= 0);
}

std::vector<uint8_t> TestPty::receive(size_t count, double timeout, double settle, bool* hungUp) {
    return ReadFor(master_, count, timeout, settle, hungUp);
}

int TestPty::kernelQueued() const {
    int n = 0;
    return ioctl(keepAlive_, FIONREAD, &n) == 0 ? n : -1;
}

bool TestPty::waitKernelQueued(int count, double timeout) const {
    const auto start = std::chrono::steady_clock::now();
    while (kernelQueued() < count) {
        if (SecondsSince(start) > timeout) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void TestPty::closeMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

RawTty::RawTty(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ >= 0 && !MakeRaw(fd_)) {
        ::close(fd_);
        fd_ = -1;
    }
}

RawTty::~RawTty() {
    if (fd_ >= 0) ::close(fd_);
}

std::vector<uint8_t> RawTty::transact(const std::vector<uint8_t>& bytes, size_t want,
                                      double timeout) {
    if (!WriteAll(fd_, bytes)) return {};
    return ReadFor(fd_, want, timeout);
}
