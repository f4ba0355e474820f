// The seam behind the serial-port service: one back end serves every call of serial_port.h.
#pragma once

#include <string>

#include "platform/serial/serial_port.h"

class ComService {
  public:
    virtual ~ComService() = default;

    virtual int open(int port, long baudRate, int parity, int dataBits, int stopBits) = 0;
    virtual int close(int port) = 0;
    virtual int setTimeout(int port, double seconds) = 0;
    virtual int setCtsMode(int port, int mode) = 0;
    virtual int installCallback(int port, int eventMask, int notifyCount, int eventCharacter,
                                ComCallbackPtr callback, void* callbackData) = 0;
    virtual int read(int port, char* buffer, int count) = 0;
    virtual int write(int port, const char* buffer, int count) = 0;
    virtual int flushIn(int port) = 0;
    virtual int flushOut(int port) = 0;
    virtual int inQueueLength(int port) = 0;
    // Blocks without processing events until count bytes wait or seconds have passed;
    // returns the bytes waiting then.
    virtual int waitForInput(int port, int count, double seconds) = 0;
    virtual std::string openFailureReason(int port) = 0;
    // True when port is open but its device went away (an adapter unplugged, a pty hung up):
    // nothing passes until the port is closed and opened again.
    virtual bool deviceGone(int port) = 0;
    // True when the device behind port number is there to be opened (plugged in).
    virtual bool devicePresent(int port) = 0;
    // One line about how the open port's line is set up (low-latency mode, a network
    // connection's kind), for its tooltip; "" when there is nothing to say.
    virtual std::string portRemark(int /*port*/) { return {}; }

    virtual double timer() = 0;
    virtual void delay(double seconds) = 0;
    virtual int processSystemEvents() = 0;
};

// The back end in use. Defaults to the host back end on first use.
ComService& ActiveComService();
// Installs another back end (tests); nullptr restores the host back end. The caller keeps
// ownership and must keep the service alive while it is installed.
void SetComService(ComService* service);

// Shared rules of both back ends.
//
// 0 when OpenComConfig's arguments are acceptable, else kComInvalidPort (number outside
// 1..255) or kComInvalidParameter (baud rate, parity 0..4, data bits 5..8, stop bits 1..2);
// problem, when given, receives a short explanation.
int CheckComOpenParameters(int port, long baudRate, int parity, int dataBits, int stopBits,
                           std::string* problem = nullptr);
// The checks of the other calls' arguments, the same for every back end: 0 when usable, else
// kComInvalidParameter. A time-out is finite and not negative; the handshake mode 0..2; a
// notification counts 1..2^20 bytes when it waits for a count and takes an event character
// 0..255 when it watches for one; a buffer exists unless the count is 0.
int CheckComTimeout(double seconds);
int CheckComCtsMode(int mode);
int CheckComNotification(int eventMask, int notifyCount, int eventCharacter);
int CheckComBuffer(const char* buffer, int count);

// The event bits a notification is due with, 0 when none. With kComEventNotifyCount in the mask the
// routine runs once new bytes have arrived since the last notification and at least
// notifyCount bytes wait; the other bits that occurred meanwhile ride along. Without it the
// other bits notify on their own.
int DueComEvents(int mask, bool newBytes, int queued, int notifyCount, int pendingEvents);
