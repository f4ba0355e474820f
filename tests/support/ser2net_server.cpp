#include "tests/support/ser2net_server.h"

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTcpSocket>
#include <chrono>
#include <fstream>
#include <thread>

int FreeTcpPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

Ser2netServer::Ser2netServer(const std::string& device, bool telnet)
    : telnet_(telnet), port_(FreeTcpPort()) {
    config_ = dir_.filePath(QStringLiteral("ser2net.yaml")).toStdString();
    std::ofstream(config_) << "connection: &line\n"
                           << "  accepter: " << (telnet ? "telnet(rfc2217),tcp," : "tcp,") << port_
                           << "\n"
                           << "  connector: serialdev," << device << ",19200n81,local\n"
                           << "  options:\n    chardelay: false\n";
}

bool Ser2netServer::start() {
    stop();
    process_ = std::make_unique<ChildProcess>(
        "/usr/sbin/ser2net",
        std::vector<std::string>{"-n", "-d", "-c", config_, "-P",
                                 dir_.filePath(QStringLiteral("pid")).toStdString()});
    if (!process_->started()) return false;
    // Ready once it accepts; the probe's connection is dropped at once.
    for (int attempt = 0; attempt < 100; ++attempt) {
        QTcpSocket probe;
        probe.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port_));
        if (probe.waitForConnected(100)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void Ser2netServer::stop() {
    if (process_) process_->finish(SIGTERM, 5.0);
    process_.reset();
}

std::string Ser2netServer::address() const {
    return std::string(telnet_ ? "rfc2217" : "tcp") + "://127.0.0.1:" + std::to_string(port_);
}
