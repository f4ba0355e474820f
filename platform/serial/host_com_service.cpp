#include "platform/serial/host_com_service.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/serial/device_lock.h"
#include "platform/serial/line_device.h"
#include "platform/serial/network_line.h"
#include "platform/serial/port_table.h"
#include "platform/serial/serial_line.h"

namespace {

constexpr double kDefaultTimeout = 10.0;
// How long an idle ProcessSystemEvents waits for the next event. Arriving serial data and
// every other event end the wait at once, so the limit costs no latency: it only sets how
// finely the command loops see their own time-outs (1.5 s, 2.0 s), and each wake-up costs
// processor time (a 2 ms limit woke a waiting loop 500 times a second).
constexpr int kIdleWaitMs = 10;
// How long an open waits for a device server to accept the connection, and how long the
// presence check (polled while a port is away) waits for it.
constexpr int kConnectMs = 2000;
constexpr int kProbeMs = 200;

const auto kStart = std::chrono::steady_clock::now();

int MillisecondsFor(double seconds) {
    return static_cast<int>(std::clamp(std::ceil(seconds * 1000.0), 0.0, 86400000.0));
}

}  // namespace

struct HostComService::Port {
    std::unique_ptr<LineDevice> line;  // null while closed
    bool failed = false;               // the device went away (unplugged, hung up)
    double timeout = kDefaultTimeout;
    int mask = 0;
    int notifyCount = 0;
    int eventChar = 0;
    ComCallbackPtr callback = nullptr;
    void* data = nullptr;
    std::string queue;  // received bytes not yet read
    bool newBytes = false;
    int pendingEvents = 0;
    bool inCallback = false;
    std::string reason;  // of the last failed open
    DeviceLock lock;     // held while a local line is open
};

HostComService::HostComService() : context_(std::make_unique<QObject>()) {}

HostComService::~HostComService() = default;

HostComService::Port& HostComService::entry(int number) {
    std::unique_ptr<Port>& slot = ports_[number];
    if (!slot) slot = std::make_unique<Port>();
    return *slot;
}

HostComService::Port* HostComService::openPort(int number) {
    const auto it = ports_.find(number);
    if (it == ports_.end() || !it->second->line) return nullptr;
    return it->second.get();
}

void HostComService::closePort(Port& port) {
    port.line.reset();
    port.lock.release();
    port.failed = false;
    port.mask = 0;
    port.callback = nullptr;
    port.data = nullptr;
    port.queue.clear();
    port.newBytes = false;
    port.pendingEvents = 0;
}

int HostComService::open(int number, long baudRate, int parity, int dataBits, int stopBits) {
    std::string problem;
    const int invalid =
        CheckComOpenParameters(number, baudRate, parity, dataBits, stopBits, &problem);
    if (invalid != 0) {
        if (number >= 1 && number <= 255) entry(number).reason = problem;
        return invalid;
    }
    Port& port = entry(number);
    closePort(port);
    port.reason.clear();

    // A number within range that nothing stands behind is a port with no device, as an
    // adapter not plugged in yet.
    const std::string device = PortTableDevice(number);
    if (device.empty()) {
        port.reason = "no device stands behind COM" + std::to_string(number);
        return kComNoSerialPort;
    }
#ifndef Q_OS_WIN
    if (!IsNetworkAddress(device) && !QFileInfo::exists(QString::fromStdString(device))) {
        port.reason = device + ": " + std::strerror(ENOENT);
        return kComNoSerialPort;
    }
#endif
    Port* p = &port;
    LineDevice::Events events{[this, p] { takeArrived(*p); },
                              [this, p] {
                                  p->failed = true;
                                  scheduleCheck();
                              }};
    LineOpening opened;
    if (NetworkAddress address; ParseNetworkAddress(device, address)) {
        // A server's line has no lock of ours: the server lets one client in at a time.
        const LineSettings settings{baudRate, parity, dataBits, stopBits, false};
        opened = OpenNetworkLine(address, settings, std::move(events), kConnectMs);
    } else {
        if (const int locked = port.lock.acquire(device, port.reason); locked != 0) return locked;
        opened = OpenSerialLine(port.lock.device(), baudRate, parity, dataBits, stopBits,
                                std::move(events), kIdleWaitMs);
    }
    if (!opened.line) {
        port.reason = opened.reason;
        port.lock.release();
        return opened.error;
    }
    port.line = std::move(opened.line);
    port.timeout = kDefaultTimeout;
    return 0;
}

int HostComService::close(int number) {
    if (Port* port = openPort(number)) closePort(*port);
    return 0;
}

int HostComService::setTimeout(int number, double seconds) {
    Port* port = openPort(number);
    if (port == nullptr) return kComPortNotOpen;
    if (const int invalid = CheckComTimeout(seconds)) return invalid;
    port->timeout = seconds;
    return 0;
}

int HostComService::setCtsMode(int number, int mode) {
    Port* port = openPort(number);
    if (port == nullptr) return kComPortNotOpen;
    if (const int invalid = CheckComCtsMode(mode)) return invalid;
    if (!port->failed) port->line->setHandshake(mode != 0);
    return 0;
}

int HostComService::installCallback(int number, int eventMask, int notifyCount, int eventCharacter,
                                    ComCallbackPtr callback, void* callbackData) {
    Port* port = openPort(number);
    if (port == nullptr) return kComPortNotOpen;
    if (eventMask == 0 || callback == nullptr) {
        port->mask = 0;
        port->callback = nullptr;
        port->data = nullptr;
        port->pendingEvents = 0;
        return 0;
    }
    if (const int invalid = CheckComNotification(eventMask, notifyCount, eventCharacter))
        return invalid;
    port->mask = eventMask;
    port->notifyCount = notifyCount;
    port->eventChar = eventCharacter;
    port->callback = callback;
    port->data = callbackData;
    port->pendingEvents = 0;
    // Bytes already waiting count as new for a freshly installed routine.
    port->newBytes = !port->queue.empty();
    scheduleCheck();
    return 0;
}

void HostComService::takeArrived(Port& port) {
    if (!port.line || !port.line->isOpen()) return;
    const std::string bytes = port.line->take();
    if (bytes.empty()) return;
    if ((port.mask & kComEventChar) != 0 &&
        bytes.find(static_cast<char>(port.eventChar)) != std::string::npos)
        port.pendingEvents |= kComEventChar;
    port.queue += bytes;
    port.newBytes = true;
    scheduleCheck();
}

void HostComService::settleFailure(Port& port) {
    // A dead device keeps reporting itself readable; closing it stops the event loop from
    // spinning. The port stays open for the program, which gets errors until it reopens.
    if (port.failed && port.line && port.line->isOpen()) {
        port.line->shut();
        port.lock.release();  // a lock on a device that is gone guards nothing
    }
}

void HostComService::pull(Port& port) {
    if (!port.line || port.failed) return settleFailure(port);
    // Bytes stay in the kernel until the line is asked; a zero wait fetches them (and
    // reports them through its arrived event, which lands in takeArrived).
    port.line->wait(0);
    takeArrived(port);
    settleFailure(port);
}

void HostComService::waitForBytes(Port& port, double seconds) {
    if (!port.line || port.failed) return settleFailure(port);
    port.line->wait(std::max(1, MillisecondsFor(seconds)));
    takeArrived(port);
    settleFailure(port);
}

void HostComService::pullAll() {
    for (auto& [number, port] : ports_) pull(*port);
}

int HostComService::read(int number, char* buffer, int count) {
    Port* port = openPort(number);
    if (port == nullptr) return kComPortNotOpen;
    if (const int invalid = CheckComBuffer(buffer, count)) return invalid;
    if (count == 0) return 0;
    const size_t wanted = static_cast<size_t>(count);
    const double deadline = timer() + port->timeout;
    pull(*port);
    while (port->queue.size() < wanted && !port->failed) {
        const double left = deadline - timer();
        if (left <= 0.0) break;
        // Returns on the first byte, not on the count: wait again for the rest.
        waitForBytes(*port, left);
    }
    if (port->failed && port->queue.empty()) return kComIoError;
    const size_t n = std::min(wanted, port->queue.size());
    std::memcpy(buffer, port->queue.data(), n);
    port->queue.erase(0, n);
    return static_cast<int>(n);
}

int HostComService::write(int number, const char* buffer, int count) {
    Port* port = openPort(number);
    if (port == nullptr) return kComPortNotOpen;
    if (const int invalid = CheckComBuffer(buffer, count)) return invalid;
    if (port->failed) return kComIoError;
    if (count == 0) return 0;
    // What did not go out within the time-out is dropped, so the count is what was sent.
    const int sent = port->line->send(buffer, count, std::max(1, MillisecondsFor(port->timeout)));
    if (sent < 0) return kComIoError;
    settleFailure(*port);
    if ((port->mask & kComEventOutputEmpty) != 0) {
        port->pendingEvents |= kComEventOutputEmpty;
        scheduleCheck();
    }
    return sent;
}

int HostComService::flushIn(int number) {
    Port* port = openPort(number);
    if (port == nullptr) return kComPortNotOpen;
    if (!port->failed) port->line->clearInput();
    port->queue.clear();
    port->newBytes = false;
    port->pendingEvents &= ~kComEventChar;
    return 0;
}

int HostComService::flushOut(int number) {
    Port* port = openPort(number);
    if (port == nullptr) return kComPortNotOpen;
    if (!port->failed) port->line->clearOutput();
    return 0;
}

int HostComService::inQueueLength(int number) {
    Port* port = openPort(number);
    if (port == nullptr) return kComPortNotOpen;
    pull(*port);
    return static_cast<int>(std::min<size_t>(port->queue.size(), 0x7fffffff));
}

int HostComService::waitForInput(int number, int count, double seconds) {
    Port* port = openPort(number);
    if (port == nullptr) {
        // Nothing can arrive on a closed port: the wait simply takes its time.
        delay(seconds);
        return kComPortNotOpen;
    }
    const size_t wanted = static_cast<size_t>(std::max(count, 0));
    const double deadline = timer() + (std::isfinite(seconds) ? std::max(seconds, 0.0) : 0.0);
    pull(*port);
    while (port->queue.size() < wanted && !port->failed) {
        const double left = deadline - timer();
        if (left <= 0.0) break;
        waitForBytes(*port, left);
    }
    // A device that went away has nothing more to give: the caller's own limit ends its
    // wait, so do not let it spin until then.
    if (port->failed && port->queue.size() < wanted) {
        const double left = deadline - timer();
        if (left > 0.0) delay(left);
    }
    return static_cast<int>(std::min<size_t>(port->queue.size(), 0x7fffffff));
}

std::string HostComService::openFailureReason(int number) {
    const auto it = ports_.find(number);
    return it == ports_.end() ? std::string() : it->second->reason;
}

bool HostComService::deviceGone(int number) {
    Port* port = openPort(number);
    if (port == nullptr) return false;
    // A hang-up is noticed when the device is read: look now rather than at the next pass
    // of the event loop.
    pull(*port);
    return port->failed;
}

bool HostComService::devicePresent(int number) {
    const std::string device = PortTableDevice(number);
    if (device.empty()) return false;
    if (NetworkAddress address; ParseNetworkAddress(device, address))
        return NetworkAddressAnswers(address, kProbeMs);
#ifdef Q_OS_WIN
    const QString name = QString::fromStdString(device);
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        if (info.portName() == name) return true;
    return false;
#else
    // Through a symbolic link too: a link to a device that went away leads nowhere.
    return QFileInfo::exists(QString::fromStdString(device));
#endif
}

std::string HostComService::portRemark(int number) {
    Port* port = openPort(number);
    return port == nullptr ? std::string() : port->line->remark();
}

double HostComService::timer() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - kStart).count();
}

void HostComService::delay(double seconds) {
    if (!std::isfinite(seconds) || seconds <= 0.0) return;
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void HostComService::scheduleCheck() {
    if (checkScheduled_ || QCoreApplication::instance() == nullptr) return;
    checkScheduled_ = true;
    QMetaObject::invokeMethod(
        context_.get(),
        [this] {
            checkScheduled_ = false;
            for (auto& [number, port] : ports_) settleFailure(*port);
            runNotifications();
        },
        Qt::QueuedConnection);
}

bool HostComService::runNotifications() {
    std::vector<int> numbers;
    for (const auto& [number, port] : ports_)
        if (port->line && port->callback != nullptr) numbers.push_back(number);
    bool ran = false;
    for (int number : numbers) {
        Port& port = *ports_.at(number);
        if (!port.line || port.callback == nullptr || port.inCallback) continue;
        const int events =
            DueComEvents(port.mask, port.newBytes, static_cast<int>(port.queue.size()),
                         port.notifyCount, port.pendingEvents);
        if (events == 0) continue;
        port.newBytes = false;
        port.pendingEvents = 0;
        // The routine may read, write, close the port or pump events itself.
        port.inCallback = true;
        port.callback(number, events, port.data);
        port.inCallback = false;
        ran = true;
    }
    return ran;
}

int HostComService::processSystemEvents() {
    pullAll();
    bool ran = runNotifications();
    if (QCoreApplication::instance() != nullptr) {
        if (ran) {
            QCoreApplication::processEvents();
        } else {
            // Sleep in the event dispatcher until something happens (arriving serial data
            // included) or the limit passes; one timer per call, as calls may nest.
            QTimer limit;
            limit.setSingleShot(true);
            limit.setTimerType(Qt::PreciseTimer);
            limit.start(kIdleWaitMs);
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    } else if (!ran) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    pullAll();
    runNotifications();
    return 0;
}
