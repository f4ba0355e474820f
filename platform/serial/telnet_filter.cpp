#include "platform/serial/telnet_filter.h"

#include <libtelnet.h>

namespace {

constexpr unsigned char kComPortOption = 44;
// Client-to-server commands of the COM-PORT-OPTION.
constexpr unsigned char kSetBaudRate = 1;
constexpr unsigned char kSetDataSize = 2;
constexpr unsigned char kSetParity = 3;
constexpr unsigned char kSetStopSize = 4;
constexpr unsigned char kSetControl = 5;
constexpr unsigned char kNoFlowControl = 1;
constexpr unsigned char kHardwareFlowControl = 3;

// What we agree to when the server asks: binary both ways (no CR/NUL rewriting of data),
// no go-ahead, the COM-PORT-OPTION on our side. Everything else (echo, line mode) is refused.
const telnet_telopt_t kOptions[] = {
    {TELNET_TELOPT_BINARY, TELNET_WILL, TELNET_DO},
    {TELNET_TELOPT_SGA, TELNET_WILL, TELNET_DO},
    {kComPortOption, TELNET_WILL, TELNET_DONT},
    {-1, 0, 0},
};

}  // namespace

TelnetFilter::TelnetFilter(const LineSettings& settings) : settings_(settings) {
    telnet_ = telnet_init(kOptions, &TelnetFilter::OnEvent, 0, this);
    telnet_negotiate(telnet_, TELNET_WILL, TELNET_TELOPT_BINARY);
    telnet_negotiate(telnet_, TELNET_DO, TELNET_TELOPT_BINARY);
    telnet_negotiate(telnet_, TELNET_WILL, kComPortOption);
}

TelnetFilter::~TelnetFilter() {
    telnet_free(telnet_);
}

void TelnetFilter::OnEvent(telnet_t* /*telnet*/, telnet_event_t* event, void* self) {
    auto& filter = *static_cast<TelnetFilter*>(self);
    switch (event->type) {
        case TELNET_EV_DATA:
            filter.data_.append(event->data.buffer, event->data.size);
            break;
        case TELNET_EV_SEND:
            filter.wire_.append(event->data.buffer, event->data.size);
            break;
        case TELNET_EV_DO:
            if (event->neg.telopt == kComPortOption) {
                filter.answered_ = filter.agreed_ = true;
                filter.sendSettings();
            }
            break;
        case TELNET_EV_DONT:
            if (event->neg.telopt == kComPortOption) filter.answered_ = true;
            break;
        default:
            // The server's confirmations of the settings and its line-state reports.
            break;
    }
}

std::string TelnetFilter::receive(const char* bytes, size_t count) {
    data_.clear();
    telnet_recv(telnet_, bytes, count);
    std::string data;
    data.swap(data_);
    return data;
}

void TelnetFilter::send(const char* bytes, size_t count) {
    telnet_send(telnet_, bytes, count);
}

std::string TelnetFilter::takeWire() {
    std::string wire;
    wire.swap(wire_);
    return wire;
}

void TelnetFilter::setting(unsigned char command, const std::string& value) {
    const std::string body = static_cast<char>(command) + value;
    telnet_subnegotiation(telnet_, kComPortOption, body.data(), body.size());
}

void TelnetFilter::sendSettings() {
    const auto baud = static_cast<unsigned long>(settings_.baudRate);
    setting(kSetBaudRate, {static_cast<char>(baud >> 24), static_cast<char>(baud >> 16),
                           static_cast<char>(baud >> 8), static_cast<char>(baud)});
    setting(kSetDataSize, std::string(1, static_cast<char>(settings_.dataBits)));
    // Ours count none, odd, even, mark, space from 0; the option from 1.
    setting(kSetParity, std::string(1, static_cast<char>(settings_.parity + 1)));
    setting(kSetStopSize, std::string(1, static_cast<char>(settings_.stopBits)));
    setHandshake(settings_.hardwareHandshake);
}

void TelnetFilter::setHandshake(bool hardware) {
    settings_.hardwareHandshake = hardware;
    if (!agreed_) return;
    setting(kSetControl,
            std::string(1, static_cast<char>(hardware ? kHardwareFlowControl : kNoFlowControl)));
}
