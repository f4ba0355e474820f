// The serving thread: reads request bytes from the tty, lets the model answer, and writes
// the replies when they are due. With a baud rate both directions are paced as on a real
// line: a request is complete only once its last byte would have arrived, the controller
// answers no earlier (plus the model's delay), and the reply is there once its own last
// byte has gone through. Replies wait in a small queue so a delay never stops the thread
// from reading.
#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <vector>

namespace sim {

namespace {

constexpr int kPollMs = 10;            // longest wait, so stop() is prompt
constexpr double kWriteTimeout = 0.5;  // a reader that stops draining the line costs at most this
constexpr size_t kReadChunk = 512;
constexpr double kDrainTimeout = 1.0;  // a hang-up waits this long for the last reply to go
constexpr double kDrainSettle = 0.05;  // written bytes reach the other end's queue within this
// The last stretch before a reply is due is waited out awake: a sleeping thread (on a
// virtual machine, a sleeping processor) wakes up to milliseconds late, and a late reply
// would slow the client down for something the line did not do.
constexpr double kWakeEarly = 0.002;

// Raw 8-bit bytes both ways: no echo, no line editing, no CR/LF translation.
bool makeRaw(int fd, speed_t speed) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (speed != B0) {
        cfsetispeed(&tio, speed);
        cfsetospeed(&tio, speed);
    }
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

bool setNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// Writes all bytes to a non-blocking fd, waiting for room a bounded time since the last
// bytes went (a reply larger than the line's buffer goes as fast as the reader drains it).
void writeAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    const auto patience = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(kWriteTimeout));
    auto deadline = std::chrono::steady_clock::now() + patience;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            deadline = std::chrono::steady_clock::now() + patience;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return;
        if (std::chrono::steady_clock::now() >= deadline) return;
        pollfd p{fd, POLLOUT, 0};
        poll(&p, 1, kPollMs);
    }
}

}  // namespace

PtyServer::PtyServer(Faults faults, long baud) : model_(std::move(faults)), baud_(baud) {}

PtyServer::~PtyServer() {
    stop();
}

ControllerModel PtyServer::modelSnapshot() const {
    std::lock_guard<std::mutex> lock(modelMutex_);
    return model_;
}

void PtyServer::setReplyHook(ReplyHook hook) {
    std::lock_guard<std::mutex> lock(modelMutex_);
    hook_ = std::move(hook);
}

std::string PtyServer::startPty() {
    if (running_ || fd_ >= 0) return "";
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) return "";
    const char* name = nullptr;
    if (grantpt(master) != 0 || unlockpt(master) != 0 || (name = ptsname(master)) == nullptr ||
        !makeRaw(master, B0) || !setNonBlocking(master)) {
        ::close(master);
        return "";
    }
    const std::string path = name;
    const int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0 || !makeRaw(slave, B0)) {
        if (slave >= 0) ::close(slave);
        ::close(master);
        return "";
    }
    slaveKeepAlive_ = slave;
    slavePath_ = path;
    if (!startServing(master)) return "";
    return slavePath_;
}

bool PtyServer::startDevice(const std::string& path) {
    if (running_ || fd_ >= 0 || path.empty()) return false;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    if (!makeRaw(fd, B19200)) {
        ::close(fd);
        return false;
    }
    slavePath_ = path;
    return startServing(fd);
}

bool PtyServer::startServing(int fd) {
    fd_ = fd;
    lineClosed_ = false;
    repliesOwed_ = 0;
    running_ = true;
    try {
        thread_ = std::thread(&PtyServer::serve, this);
    } catch (...) {
        running_ = false;
        closeLine();
        return false;
    }
    return true;
}

void PtyServer::stop() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
    closeLine();
}

void PtyServer::closeLine() {
    if (fd_ >= 0) {
        // Set first: a client that sees the hang-up must find the line closed.
        lineClosed_ = true;
        ::close(fd_);
    }
    if (slaveKeepAlive_ >= 0) ::close(slaveKeepAlive_);
    fd_ = -1;
    slaveKeepAlive_ = -1;
}

bool PtyServer::replyPending() const {
    int count = 0;
    // A pty's unread bytes wait in the slave's input queue; a device's in its output queue.
    if (slaveKeepAlive_ >= 0) return ioctl(slaveKeepAlive_, FIONREAD, &count) == 0 && count > 0;
    return ioctl(fd_, TIOCOUTQ, &count) == 0 && count > 0;
}

void PtyServer::serve() {
    // Wake-ups on time to the microsecond rather than the default 50 us of timer slack.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    const auto start = std::chrono::steady_clock::now();
    auto clock = [&start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    FrameAssembler assembler;
    struct Piece {
        std::vector<uint8_t> bytes;
        bool last;  // the end of its reply
    };
    std::multimap<double, Piece> due;  // replies, or bytes of them, by the time they go out
    // Ten bits a byte (start, eight data, stop) on each wire of the line.
    const double byteTime = baud_ > 0 ? 10.0 / static_cast<double>(baud_) : 0.0;
    double inFree = 0.0;    // when the last request byte read so far would have arrived
    double lineFree = 0.0;  // end of the last reply on the line
    double hangUpStart = -1.0;
    double lastWrite = -1.0;
    uint8_t buffer[kReadChunk];

    while (running_) {
        double now = clock();
        while (!due.empty() && due.begin()->first <= now) {
            writeAll(fd_, due.begin()->second.bytes);
            if (due.begin()->second.last) --repliesOwed_;
            due.erase(due.begin());
            lastWrite = now;
        }
        bool hungUp = false;
        {
            std::lock_guard<std::mutex> lock(modelMutex_);
            hungUp = model_.hungUp();
        }
        if (hungUp && due.empty()) {
            // The line goes dead once the last reply has left (closing a pty master throws
            // away what the client has not read yet): a client sees a hang-up, a new open
            // fails.
            if (hangUpStart < 0.0) hangUpStart = now;
            const bool settled = lastWrite < 0.0 || now - lastWrite >= kDrainSettle;
            if ((settled && !replyPending()) || now - hangUpStart > kDrainTimeout) {
                closeLine();
                return;
            }
        }

        // A reply goes out on time to the microsecond, not to the next whole millisecond:
        // at 19200 baud a millisecond late is 3 % of an exchange.
        double wait = kPollMs / 1000.0;
        if (!due.empty()) wait = std::clamp(due.begin()->first - now - kWakeEarly, 0.0, wait);
        const timespec timeout{0, static_cast<long>(wait * 1e9)};
        pollfd p{fd_, POLLIN, 0};
        const int ready = ppoll(&p, 1, &timeout, nullptr);
        if (ready < 0 && errno != EINTR) return;
        if (ready <= 0) continue;
        if ((p.revents & POLLIN) == 0) {
            // Hang-up or error without data (a device unplugged): wait instead of spinning.
            poll(nullptr, 0, kPollMs);
            continue;
        }
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            poll(nullptr, 0, kPollMs);
            continue;
        }
        now = clock();
        for (ssize_t i = 0; i < n; ++i) {
            // Bytes written at once reach us at once; on the line they follow each other.
            inFree = std::max(inFree, now) + byteTime;
            for (const auto& frame : assembler.feed(&buffer[i], 1, now)) {
                ++framesReceived_;
                if (logFrames_) {
                    std::printf("frame %d %d\n", frame[2] * 256 + frame[3],
                                frame[4] * 256 + frame[5]);
                    std::fflush(stdout);
                }
                const double arrived = std::max(now, inFree);
                Reply reply;
                {
                    std::lock_guard<std::mutex> lock(modelMutex_);
                    if (model_.hungUp()) continue;
                    reply = model_.handleFrame(frame.data(), arrived);
                    if (hook_) hook_(frame[2] * 256 + frame[3], frame.data(), reply, model_);
                }
                if (reply.bytes.empty()) continue;
                ++repliesOwed_;
                double at = arrived + reply.delay;
                if (baud_ > 0) at = std::max(at, lineFree);
                if (reply.byteGap > 0.0) {
                    // Byte by byte, each complete once it has crossed the line.
                    const size_t count = reply.bytes.size();
                    for (size_t k = 0; k < count; ++k) {
                        const double when = at + static_cast<double>(k) * reply.byteGap +
                                            static_cast<double>(k + 1) * byteTime;
                        due.emplace(when, Piece{{reply.bytes[k]}, k + 1 == count});
                        lineFree = when;
                    }
                    continue;
                }
                if (baud_ > 0) {
                    // The reply is complete once its last byte has arrived.
                    at += static_cast<double>(reply.bytes.size()) * byteTime;
                    lineFree = at;
                }
                due.emplace(at, Piece{std::move(reply.bytes), true});
            }
        }
    }
}

}  // namespace sim
