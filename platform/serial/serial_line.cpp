#include "platform/serial/serial_line.h"

#include <QSerialPort>
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "platform/serial/low_latency.h"
#include "platform/serial/serial_port.h"

#ifndef Q_OS_WIN
#include <poll.h>
#endif

namespace {

QSerialPort::Parity QtParity(int parity) {
    switch (parity) {
        case 1:
            return QSerialPort::OddParity;
        case 2:
            return QSerialPort::EvenParity;
        case 3:
            return QSerialPort::MarkParity;
        case 4:
            return QSerialPort::SpaceParity;
        default:
            return QSerialPort::NoParity;
    }
}

// A wait on the device that timed out leaves an error behind; it means nothing to us.
void ForgetTimeout(QSerialPort& serial) {
    if (serial.error() == QSerialPort::TimeoutError) serial.clearError();
}

// A read that finds nothing reports an error as a hang-up does: the bytes it was told of
// were flushed before it ran (a flood that the notification flushes), and the line gives 0
// or EAGAIN for "empty". Only a line that reports its hang-up has lost its device.
bool LineHungUp(QSerialPort& serial) {
#ifdef Q_OS_WIN
    Q_UNUSED(serial);
    return true;
#else
    pollfd line{static_cast<int>(serial.handle()), 0, 0};
    return ::poll(&line, 1, 0) != 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#endif
}

class SerialLine : public LineDevice {
  public:
    SerialLine(LineDevice::Events events, int retryMs) : events_(std::move(events)) {
        QSerialPort* raw = &serial_;
        QObject::connect(raw, &QSerialPort::readyRead, raw, [this] { events_.arrived(); });
        QObject::connect(raw, &QSerialPort::errorOccurred, raw,
                         [this, raw, retryMs](QSerialPort::SerialPortError e) {
                             if (e != QSerialPort::ResourceError && e != QSerialPort::ReadError &&
                                 e != QSerialPort::WriteError)
                                 return;
                             // An unplugged adapter or a hung-up pty: reads see EOF or EIO.
                             if (LineHungUp(*raw)) return events_.gone();
                             // A read that found the line empty: look again soon, not at once,
                             // in case the line keeps announcing bytes it does not have.
                             raw->clearError();
                             QTimer::singleShot(retryMs, raw, [this] {
                                 wait(0);
                                 events_.arrived();
                             });
                         });
    }

    QSerialPort serial_;
    std::string remark_;

    std::string take() override {
        if (!serial_.isOpen()) return {};
        return serial_.readAll().toStdString();
    }
    void wait(int ms) override {
        if (!serial_.isOpen()) return;
        serial_.waitForReadyRead(ms);
        ForgetTimeout(serial_);
    }
    int send(const char* data, int count, int ms) override {
        const qint64 accepted = serial_.write(data, count);
        if (accepted < 0) return -1;
        // Hand the bytes to the driver now: nothing else would before the next event-loop
        // pass.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (serial_.isOpen() && serial_.bytesToWrite() > 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0) break;
            if (!serial_.waitForBytesWritten(static_cast<int>(std::max<long long>(1, left))) &&
                serial_.error() != QSerialPort::TimeoutError)
                break;
        }
        ForgetTimeout(serial_);
        const qint64 unsent = serial_.isOpen() ? serial_.bytesToWrite() : 0;
        if (unsent > 0) serial_.clear(QSerialPort::Output);
        return static_cast<int>(accepted - unsent);
    }
    void clearInput() override {
        if (serial_.isOpen()) serial_.clear(QSerialPort::Input);  // also what the kernel holds
    }
    void clearOutput() override {
        if (serial_.isOpen()) serial_.clear(QSerialPort::Output);
    }
    void setHandshake(bool hardware) override {
        // Best effort: pseudo-terminals have no handshake lines.
        serial_.setFlowControl(hardware ? QSerialPort::HardwareControl
                                        : QSerialPort::NoFlowControl);
        serial_.clearError();
    }
    void shut() override {
        if (serial_.isOpen()) serial_.close();
    }
    bool isOpen() const override { return serial_.isOpen(); }
    std::string remark() const override { return remark_; }

  private:
    LineDevice::Events events_;
};

}  // namespace

LineOpening OpenSerialLine(const std::string& path, long baudRate, int parity, int dataBits,
                           int stopBits, LineDevice::Events events, int retryMs) {
    LineOpening result;
    auto line = std::make_unique<SerialLine>(std::move(events), retryMs);
    QSerialPort& serial = line->serial_;
    serial.setPortName(QString::fromStdString(path));
    if (!serial.open(QIODevice::ReadWrite)) {
        result.reason = serial.errorString().toStdString();
        result.error =
            serial.error() == QSerialPort::DeviceNotFoundError ? kComNoSerialPort : kComCannotOpen;
        return result;
    }
    if (!serial.setBaudRate(static_cast<qint32>(baudRate)) ||
        !serial.setDataBits(static_cast<QSerialPort::DataBits>(dataBits)) ||
        !serial.setParity(QtParity(parity)) ||
        !serial.setStopBits(stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop)) {
        result.reason = serial.errorString().toStdString();
        result.error = kComInvalidParameter;
        return result;
    }
    // Modem lines and flow control do not exist on pseudo-terminals: best effort only.
    serial.setFlowControl(QSerialPort::NoFlowControl);
    serial.setDataTerminalReady(true);
    serial.setRequestToSend(true);
    serial.clearError();
    line->remark_ = RequestLowLatency(static_cast<long long>(serial.handle()), path);
    result.line = std::move(line);
    return result;
}
