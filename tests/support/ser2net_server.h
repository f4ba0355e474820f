// The real ser2net (Debian's) for tests: serves one tty on a free TCP port, raw or as an
// RFC 2217 telnet server, from a configuration in a temporary folder of its own. Started in
// the foreground (-n -d) and stopped by its own process id.
#pragma once

#include <QTemporaryDir>
#include <memory>
#include <string>

#include "tests/support/child_process.h"

class Ser2netServer {
  public:
    Ser2netServer(const std::string& device, bool telnet);
    ~Ser2netServer() { stop(); }

    // Starts it (again, on the same TCP port); false when it does not accept connections.
    bool start();
    void stop();
    int port() const { return port_; }
    // The address the tool is given: tcp://127.0.0.1:P or rfc2217://127.0.0.1:P.
    std::string address() const;

  private:
    QTemporaryDir dir_;
    std::string config_;
    bool telnet_;
    int port_ = 0;
    std::unique_ptr<ChildProcess> process_;
};

// A TCP port nobody listens on now (the system's pick for port 0).
int FreeTcpPort();
