// What an open port reads and writes through: a local serial device, or a connection to a
// device server on the network. HostComService keeps the queue, the time-outs and the
// notifications; a line only moves bytes and says when its device went away.
#pragma once

#include <functional>
#include <memory>
#include <string>

class LineDevice {
  public:
    struct Events {
        std::function<void()> arrived;  // bytes may wait: take() them
        std::function<void()> gone;     // the device went away (unplugged, hung up, dropped)
    };

    virtual ~LineDevice() = default;

    // The data bytes that arrived since the last take, protocol bytes removed.
    virtual std::string take() = 0;
    // Waits up to ms for bytes (0: fetch what the system holds); they come through take().
    virtual void wait(int ms) = 0;
    // Sends count bytes, waiting up to ms for them to leave; returns the data bytes that
    // went (what did not go in time is dropped), or -1 when the line refused them.
    virtual int send(const char* data, int count, int ms) = 0;
    // Drops what was received but not taken yet, the system's buffers included.
    virtual void clearInput() = 0;
    virtual void clearOutput() = 0;
    virtual void setHandshake(bool hardware) = 0;
    // Called once the device went away: stops watching it, so the event loop does not spin.
    virtual void shut() = 0;
    virtual bool isOpen() const = 0;
    // One line about how the line is set up, for the port's tooltip ("" when nothing to say).
    virtual std::string remark() const { return {}; }
};

// The result of opening a line: the line, or an error code of serial_port.h and a reason.
struct LineOpening {
    std::unique_ptr<LineDevice> line;
    int error = 0;
    std::string reason;
};
