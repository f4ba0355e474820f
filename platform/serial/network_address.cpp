#include "platform/serial/network_address.h"

#include <cctype>

namespace {
constexpr const char* kRaw = "tcp://";
constexpr const char* kTelnet = "rfc2217://";

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}
}  // namespace

bool IsNetworkAddress(const std::string& device) {
    return StartsWith(device, kRaw) || StartsWith(device, kTelnet);
}

bool ParseNetworkAddress(const std::string& device, NetworkAddress& address, std::string* problem) {
    auto fail = [&](const std::string& why) {
        if (problem != nullptr) *problem = why;
        return false;
    };
    if (!IsNetworkAddress(device)) return fail("not tcp://HOST:PORT or rfc2217://HOST:PORT");
    address.telnet = StartsWith(device, kTelnet);
    const std::string rest = device.substr(std::string(address.telnet ? kTelnet : kRaw).size());
    // The last colon separates the port, so "[::1]:2000" keeps its brackets' colons.
    const size_t colon = rest.rfind(':');
    if (colon == std::string::npos || colon == 0) return fail("no HOST:PORT in " + device);
    std::string host = rest.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const std::string digits = rest.substr(colon + 1);
    if (digits.empty() || digits.size() > 5) return fail("no port number in " + device);
    int port = 0;
    for (const char c : digits) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0)
            return fail("'" + digits + "' is not a port number");
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return fail("port " + digits + " is outside 1-65535");
    address.host = host;
    address.port = port;
    return true;
}
