// The telnet layer of an RFC 2217 connection, on libtelnet: data bytes 0xFF are doubled on
// the way out and undoubled on the way in, negotiations are answered, and the serial line
// behind the server is set through the COM-PORT-OPTION once the server agrees to it.
#pragma once

#include <string>

struct telnet_t;
union telnet_event_t;

struct LineSettings {
    long baudRate = 19200;
    int parity = 0;  // 0 none, 1 odd, 2 even, 3 mark, 4 space (serial_port.h)
    int dataBits = 8;
    int stopBits = 1;
    bool hardwareHandshake = false;
};

class TelnetFilter {
  public:
    explicit TelnetFilter(const LineSettings& settings);
    ~TelnetFilter();
    TelnetFilter(const TelnetFilter&) = delete;
    TelnetFilter& operator=(const TelnetFilter&) = delete;

    // Bytes from the server in; the data bytes among them out. Answers go to the wire.
    std::string receive(const char* bytes, size_t count);
    // Data bytes to send, escaped onto the wire.
    void send(const char* bytes, size_t count);
    // Sets the handshake of the server's line (when the option is agreed).
    void setHandshake(bool hardware);
    // Bytes waiting to go to the server (escaped data, answers, settings); taken once.
    std::string takeWire();
    // True once the server answered the COM-PORT-OPTION (agreed or refused).
    bool comPortAnswered() const { return answered_; }
    bool comPortAgreed() const { return agreed_; }

  private:
    static void OnEvent(telnet_t* telnet, telnet_event_t* event, void* self);
    void sendSettings();
    void setting(unsigned char command, const std::string& value);

    telnet_t* telnet_ = nullptr;
    LineSettings settings_;
    std::string data_;  // received data of the current receive call
    std::string wire_;
    bool answered_ = false;
    bool agreed_ = false;
};
