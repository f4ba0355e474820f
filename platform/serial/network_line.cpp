#include "platform/serial/network_line.h"

#include <QTcpSocket>
#include <chrono>
#include <memory>

#include "platform/serial/serial_port.h"

namespace {

// How long an RFC 2217 server may take to answer the COM-PORT-OPTION at connect.
constexpr int kNegotiationMs = 1000;

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                deadline - std::chrono::steady_clock::now())
                                .count());
}

class NetworkLine : public LineDevice {
  public:
    NetworkLine(const NetworkAddress& address, const LineSettings& settings,
                LineDevice::Events events)
        : address_(address), events_(std::move(events)) {
        if (address.telnet) telnet_ = std::make_unique<TelnetFilter>(settings);
        QTcpSocket* raw = &socket_;
        QObject::connect(raw, &QTcpSocket::readyRead, raw, [this] { events_.arrived(); });
        QObject::connect(raw, &QTcpSocket::disconnected, raw, [this] { dropped(); });
        QObject::connect(raw, &QTcpSocket::errorOccurred, raw,
                         [this](QAbstractSocket::SocketError e) {
                             if (e != QAbstractSocket::SocketTimeoutError) dropped();
                         });
    }

    QTcpSocket socket_;
    std::unique_ptr<TelnetFilter> telnet_;
    std::string early_;  // data that came while the telnet options were settled

    bool connect(int connectMs, std::string& reason, int& error) {
        socket_.connectToHost(QString::fromStdString(address_.host),
                              static_cast<quint16>(address_.port));
        if (!socket_.waitForConnected(connectMs)) {
            reason = Name() + ": " + socket_.errorString().toStdString();
            const auto e = socket_.error();
            error = e == QAbstractSocket::ConnectionRefusedError ||
                            e == QAbstractSocket::HostNotFoundError ||
                            e == QAbstractSocket::SocketTimeoutError
                        ? kComNoSerialPort
                        : kComCannotOpen;
            return false;
        }
        connected_ = true;
        // A request is one small write: send it at once, not after the previous reply's ack.
        socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        if (!telnet_) return true;
        flushWire();
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kNegotiationMs);
        while (!telnet_->comPortAnswered() && socket_.state() == QAbstractSocket::ConnectedState &&
               MillisecondsLeft(deadline) > 0) {
            socket_.waitForReadyRead(std::max(1, MillisecondsLeft(deadline)));
            early_ += take();
        }
        if (telnet_->comPortAgreed()) return true;
        reason = Name() + ": the server " +
                 (telnet_->comPortAnswered() ? "refused" : "did not answer") +
                 " the COM-PORT-OPTION (RFC 2217)";
        error = kComCannotOpen;
        return false;
    }

    std::string take() override {
        std::string data;
        data.swap(early_);
        if (!socket_.isOpen()) return data;
        const QByteArray bytes = socket_.readAll();
        if (!telnet_) return data + bytes.toStdString();
        data += telnet_->receive(bytes.constData(), static_cast<size_t>(bytes.size()));
        flushWire();  // answers to what the server asked
        return data;
    }
    void wait(int ms) override {
        if (socket_.state() == QAbstractSocket::ConnectedState && socket_.bytesAvailable() == 0)
            socket_.waitForReadyRead(ms);
    }
    int send(const char* data, int count, int ms) override {
        if (socket_.state() != QAbstractSocket::ConnectedState) return -1;
        if (telnet_) {
            telnet_->send(data, static_cast<size_t>(count));
            if (!flushWire()) return -1;
        } else if (socket_.write(data, count) != count) {
            return -1;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (socket_.bytesToWrite() > 0 && MillisecondsLeft(deadline) > 0 &&
               socket_.waitForBytesWritten(std::max(1, MillisecondsLeft(deadline)))) {
        }
        // Escaping makes the wire longer than the data: count what is still waiting as data.
        const int unsent = static_cast<int>(std::min<qint64>(socket_.bytesToWrite(), count));
        return count - unsent;
    }
    void clearInput() override {
        wait(0);
        take();
    }
    void clearOutput() override {}  // what the socket holds is on its way already
    void setHandshake(bool hardware) override {
        if (!telnet_) return;
        telnet_->setHandshake(hardware);
        flushWire();
    }
    void shut() override { socket_.abort(); }
    bool isOpen() const override { return socket_.state() == QAbstractSocket::ConnectedState; }
    std::string remark() const override {
        return telnet_ ? Name() + ": telnet, line set through RFC 2217"
                       : Name() + ": raw TCP, line set by the server";
    }

  private:
    std::string Name() const { return address_.host + ":" + std::to_string(address_.port); }
    bool flushWire() {
        const std::string wire = telnet_->takeWire();
        return wire.empty() || socket_.write(wire.data(), static_cast<qint64>(wire.size())) ==
                                   static_cast<qint64>(wire.size());
    }
    void dropped() {
        if (gone_ || !connected_) return;  // a failed connect is reported by connect()
        gone_ = true;
        events_.gone();
    }

    NetworkAddress address_;
    LineDevice::Events events_;
    bool connected_ = false;
    bool gone_ = false;
};

}  // namespace

LineOpening OpenNetworkLine(const NetworkAddress& address, const LineSettings& settings,
                            LineDevice::Events events, int connectMs) {
    LineOpening result;
    auto line = std::make_unique<NetworkLine>(address, settings, std::move(events));
    if (line->connect(connectMs, result.reason, result.error)) result.line = std::move(line);
    return result;
}

bool NetworkAddressAnswers(const NetworkAddress& address, int ms) {
    QTcpSocket probe;
    probe.connectToHost(QString::fromStdString(address.host), static_cast<quint16>(address.port));
    const bool answers = probe.waitForConnected(ms);
    probe.abort();
    return answers;
}
