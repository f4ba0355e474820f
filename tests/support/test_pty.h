// Pseudo-terminals for tests: a pair the test makes itself (the slave path is what the code
// under test opens, the master end plays the device on the other side of the line), and a
// raw client on any tty path. Every read waits with a time-out; nothing blocks for good.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Puts a tty into raw 8-bit mode: no echo, no line editing, no CR/LF translation.
bool MakeRaw(int fd);

// Points link at target in one step, as a device manager replaces a device node.
bool PointLink(const std::string& link, const std::string& target);

// Seconds since start on the steady clock.
double SecondsSince(std::chrono::steady_clock::time_point start);

// Reads from fd until want bytes arrived or timeout seconds passed; then keeps listening
// for settle seconds so surplus bytes show up too. Stops early on a hang-up, and says so in
// hungUp when given.
std::vector<uint8_t> ReadFor(int fd, size_t want, double timeout, double settle = 0.05,
                             bool* hungUp = nullptr);

// Writes every byte to fd, waiting for room up to timeout seconds; false if not all went.
bool WriteAll(int fd, const std::vector<uint8_t>& bytes, double timeout = 2.0);

// A pty pair owned by a test. The slave side is held open (and raw) for the test's
// lifetime, so the line survives the code under test closing and reopening it.
class TestPty {
  public:
    // Locked: the slave side is never unlocked, so every open of it fails (root's too).
    enum class Slave { Unlocked, Locked };

    explicit TestPty(Slave slave = Slave::Unlocked);
    ~TestPty();
    TestPty(const TestPty&) = delete;
    TestPty& operator=(const TestPty&) = delete;

    bool ok() const;
    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

    // The device sends bytes down the line.
    bool send(const std::vector<uint8_t>& bytes) { return WriteAll(master_, bytes); }
    // What the device received: up to count bytes, waiting up to timeout seconds for them
    // (more when more came at once); settle and hungUp as for ReadFor.
    std::vector<uint8_t> receive(size_t count, double timeout = 1.0, double settle = 0.0,
                                 bool* hungUp = nullptr);

    // Bytes the terminal layer holds for the slave side, not yet taken by any reader.
    int kernelQueued() const;
    // Waits until the terminal layer holds count bytes for the slave side.
    bool waitKernelQueued(int count, double timeout = 1.0) const;

    // The device hangs up: the slave side sees the line go away.
    void closeMaster();

  private:
    int master_ = -1;
    int keepAlive_ = -1;
    bool locked_ = false;
    std::string slavePath_;
};

// A tty opened raw and non-blocking for the test's lifetime, as a client opens a device.
class RawTty {
  public:
    explicit RawTty(const std::string& path);
    ~RawTty();
    RawTty(const RawTty&) = delete;
    RawTty& operator=(const RawTty&) = delete;

    int fd() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    bool send(const std::vector<uint8_t>& bytes) { return WriteAll(fd_, bytes); }
    // Sends a request and collects the answer (want bytes, or whatever came in time).
    std::vector<uint8_t> transact(const std::vector<uint8_t>& bytes, size_t want,
                                  double timeout = 1.0);

  private:
    int fd_ = -1;
};
