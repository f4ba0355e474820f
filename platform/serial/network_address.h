// Network ports: a device server (ser2net, a serial-to-Ethernet adapter) reached as
// tcp://HOST:PORT (the bytes as they are, raw TCP) or rfc2217://HOST:PORT (telnet with the
// COM-PORT-OPTION, which also sets the line). Such an address stands in the port table where
// a device path would: it needs no device node and takes no device lock.
#pragma once

#include <string>

struct NetworkAddress {
    bool telnet = false;  // rfc2217://
    std::string host;
    int port = 0;
};

// True when device is written as a network address (well formed or not).
bool IsNetworkAddress(const std::string& device);
// Parses device; problem says what is wrong when it is not a usable address.
bool ParseNetworkAddress(const std::string& device, NetworkAddress& address,
                         std::string* problem = nullptr);
