// A simulated serial line with a virtual clock, for tests.
//
// Time stands still until the program does something that takes time: Delay advances the
// clock by its argument, ProcessSystemEvents and GetInQLen by one quantum (a poll), and a
// ComRd that waits for bytes jumps to the moment they are complete or the port time-out
// has passed. A scripted peer sees every frame written and schedules its answer bytes at
// chosen virtual times; bytes land in the input queue when the clock reaches them. The
// receive notification runs only inside ProcessSystemEvents, as on the host back end.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/serial/com_service.h"

class SimLine : public ComService {
  public:
    struct Write {
        int port;
        double time;
        std::vector<uint8_t> bytes;
    };
    // Called for every ComWrt on an open port, after the bytes were logged.
    using Peer = std::function<void(SimLine& line, const std::vector<uint8_t>& bytes, double now)>;

    SimLine();
    ~SimLine() override;

    void setPeer(Peer peer);
    // Schedules bytes to arrive in the input queue of port at virtual time atTime.
    void deliver(int port, const std::vector<uint8_t>& bytes, double atTime);
    // Runs action inside the first ProcessSystemEvents at or after virtual time atTime
    // (a click, a close of the panel ...).
    void at(double atTime, std::function<void()> action);
    // The result OpenComConfig gives for port (0 = opens, or an error code).
    void setOpenResult(int port, int result, const std::string& reason = "");
    // Makes ComWrt on port accept only maxBytes of each write (-1: all).
    void setWriteLimit(int port, int maxBytes);
    void setQuantum(double seconds) { quantum_ = seconds; }
    // The device behind port goes away, as an unplugged adapter: an open port keeps what it
    // had received, then fails every read and write until it is closed; bytes on their way
    // are lost, and opening it fails until plugIn.
    void unplug(int port);
    // The device is back: the port can be opened again (an open port that failed stays
    // failed until it is reopened).
    void plugIn(int port);

    double now() const { return now_; }
    const std::vector<Write>& writes() const { return writes_; }
    void clearWrites() { writes_.clear(); }
    bool isOpen(int port) const;
    int notificationMask(int port) const;
    int notificationsRun() const { return notificationsRun_; }
    int processEventsCalls() const { return processEventsCalls_; }
    // How often the input queue's length was asked for (GetInQLen).
    int queueQueries() const { return queueQueries_; }

    // ComService
    int open(int port, long baudRate, int parity, int dataBits, int stopBits) override;
    int close(int port) override;
    int setTimeout(int port, double seconds) override;
    int setCtsMode(int port, int mode) override;
    int installCallback(int port, int eventMask, int notifyCount, int eventCharacter,
                        ComCallbackPtr callback, void* callbackData) override;
    int read(int port, char* buffer, int count) override;
    int write(int port, const char* buffer, int count) override;
    int flushIn(int port) override;
    int flushOut(int port) override;
    int inQueueLength(int port) override;
    int waitForInput(int port, int count, double seconds) override;
    std::string openFailureReason(int port) override;
    bool deviceGone(int port) override;
    bool devicePresent(int port) override;
    // Reading the clock takes one grid step (1 ns), as on a real machine where two
    // readings never coincide; a wait never ends with its elapsed time exactly on a limit.
    double timer() override;
    void delay(double seconds) override;
    int processSystemEvents() override;

  private:
    struct Pending {
        int port;
        double time;
        std::vector<uint8_t> bytes;
    };
    struct PortState {
        bool open = false;
        double timeout = 10.0;
        int mask = 0;
        int notifyCount = 0;
        int eventChar = 0;
        ComCallbackPtr callback = nullptr;
        void* data = nullptr;
        std::vector<uint8_t> inQueue;
        int writeLimit = -1;
        int pendingEvents = 0;  // event bits collected since the last notification
        bool newBytes = false;  // bytes landed since the last notification
        bool inCallback = false;
        int openResult = 0;
        std::string reason;
        bool unplugged = false;  // the device is away
        bool failed = false;     // the open port lost its device
    };

    void advanceTo(double t);  // moves the clock, landing every byte due by then
    // The moment port's queue holds wanted bytes, or deadline if it will not by then.
    double completeAt(int port, size_t wanted, double deadline) const;
    void runDueActions();
    void runNotifications();
    PortState* openState(int port);
    PortState& state(int port) { return ports_[port]; }

    double now_ = 0.0;
    double quantum_ = 0.001;
    Peer peer_;
    std::vector<Pending> pending_;
    std::vector<std::pair<double, std::function<void()>>> actions_;
    std::map<int, PortState> ports_;
    std::vector<Write> writes_;
    int notificationsRun_ = 0;
    int processEventsCalls_ = 0;
    int queueQueries_ = 0;
};
