// The host back end: the machine's serial devices (USB adapters, built-in ports and
// pseudo-terminals alike) through QSerialPort, and ports on device servers reached by
// network address (network_line.h), one thread, no worker threads.
//
// Received bytes are moved from the device into a queue of our own, so the queue length is
// exact and the event character can be spotted as bytes arrive. The notification routine
// never runs inside a read, a write or a queue-length call: QSerialPort reports arriving
// bytes synchronously while we wait on it, so those reports only schedule a check that runs
// in ProcessSystemEvents or the next pass of the Qt event loop.
//
// An open local port holds its device against every other program (DeviceLock), whatever
// name either opened it by.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/serial/com_service.h"

class QObject;

class HostComService : public ComService {
  public:
    HostComService();
    ~HostComService() override;

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
    std::string portRemark(int port) override;

    double timer() override;
    void delay(double seconds) override;
    int processSystemEvents() override;

  private:
    struct Port;

    Port& entry(int number);
    Port* openPort(int number);
    void closePort(Port& port);
    void takeArrived(Port& port);
    void settleFailure(Port& port);
    void pull(Port& port);
    void waitForBytes(Port& port, double seconds);
    void pullAll();
    void scheduleCheck();
    bool runNotifications();

    // Entries are never erased, so a Port stays valid while a routine opens or closes ports.
    std::map<int, std::unique_ptr<Port>> ports_;
    std::unique_ptr<QObject> context_;  // receiver of the scheduled notification checks
    bool checkScheduled_ = false;
};
