// Ports on a device server: the real ser2net, raw and RFC 2217, with the emulator on a pty
// behind it, through the same serial-port calls the tool makes. Also the low-latency
// request on a local line.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>

#include "platform/serial/com_service.h"
#include "platform/serial/network_address.h"
#include "platform/serial/port_table.h"
#include "platform/serial/serial_port.h"
#include "sim/pty_server.h"
#include "tests/support/frames.h"
#include "tests/support/ser2net_server.h"
#include "tests/support/test_pty.h"

namespace {

constexpr int kNetworkPort = 7;

std::vector<uint8_t> ExchangeOverNetwork(const std::vector<uint8_t>& request, size_t want) {
    if (ComWrt(kNetworkPort, reinterpret_cast<const char*>(request.data()),
               static_cast<int>(request.size())) != static_cast<int>(request.size()))
        return {};
    std::vector<uint8_t> reply(want);
    const int n =
        ComRd(kNetworkPort, reinterpret_cast<char*>(reply.data()), static_cast<int>(want));
    reply.resize(static_cast<size_t>(std::max(n, 0)));
    return reply;
}

// Pumps events until the link sees its device gone, within seconds.
bool SeesGone(double seconds) {
    const double end = Timer() + seconds;
    while (Timer() < end && ComDeviceGone(kNetworkPort) == 0) ProcessSystemEvents();
    return ComDeviceGone(kNetworkPort) == 1;
}

// A block whose samples hold the escape byte (0xFF) alone and in runs.
std::vector<uint8_t> BlockWithEscapes() {
    std::vector<uint16_t> words(64, 0x0123);
    words[0] = 0xFFFF;
    words[1] = 0x00FF;
    words[2] = 0xFF00;
    words[63] = 0xFFFF;
    return WordBytes(words);
}

class NetworkPort : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        SetComService(nullptr);
        emulator.setReplyHook(
            [](int order, const uint8_t* frame, sim::Reply& reply, sim::ControllerModel&) {
                if (order == 9 && frame[4] == 0 && frame[5] == 0) reply.bytes = BlockWithEscapes();
            });
        device = emulator.startPty();
        ASSERT_FALSE(device.empty());
        server = std::make_unique<Ser2netServer>(device, GetParam());
        ASSERT_TRUE(server->start());
        PortTablePin(kNetworkPort, server->address());
        ASSERT_EQ(OpenComConfig(kNetworkPort, "", 19200, 0, 8, 1, 512, 512), 0)
            << ComOpenFailureReason(kNetworkPort);
        SetComTime(kNetworkPort, 2.0);
    }
    void TearDown() override {
        CloseCom(kNetworkPort);
        PortTableClearPins();
        server.reset();
        emulator.stop();
    }

    sim::PtyServer emulator{{}, 19200};
    std::string device;
    std::unique_ptr<Ser2netServer> server;
};

TEST_P(NetworkPort, AnswersEveryCommandAsOnALocalLine) {
    // Line check: the echo frame comes back with the controller's mark in word 0.
    const auto echo = ExchangeOverNetwork(MakeFrame(5, {1, 2, 3}), 36);
    ASSERT_EQ(echo.size(), 36u);
    EXPECT_EQ(WordAt(echo, 1), 5);
    EXPECT_EQ(PayloadWord(echo, 0), 0x00AA);
    EXPECT_EQ(PayloadWord(echo, 2), 3);

    // Send to RAM, then Get: the values went and came back.
    std::vector<uint16_t> packet(16, 0);
    packet[4] = 321;
    ASSERT_EQ(ComWrt(kNetworkPort, reinterpret_cast<const char*>(MakeFrame(1, packet).data()), 36),
              36);
    const auto ram = ExchangeOverNetwork(MakeFrame(2), 36);
    ASSERT_EQ(ram.size(), 36u);
    EXPECT_EQ(PayloadWord(ram, 4), 321);

    // Firmware text.
    const auto firmware = ExchangeOverNetwork(MakeFrame(7), 64);
    ASSERT_EQ(firmware.size(), 64u);
    EXPECT_EQ(WordAt(firmware, 0), 'S');
    EXPECT_EQ(WordAt(firmware, 1), 'I');

    // Monitor replies, one request outstanding at a time, the queue empty between them.
    for (int i = 0; i < 5; ++i) {
        const auto live = ExchangeOverNetwork(MakeFrame(8), 36);
        ASSERT_EQ(live.size(), 36u) << "monitor reply " << i;
        EXPECT_EQ(WordAt(live, 1), 8);
        EXPECT_EQ(GetInQLen(kNetworkPort), 0);
    }

    // A data block with 0xFF bytes arrives whole and unchanged, and nothing more.
    EXPECT_EQ(ExchangeOverNetwork(MakeFrame(9, {0, 1}), 128), BlockWithEscapes());
    EXPECT_EQ(ComWaitInQ(kNetworkPort, 1, 0.1), 0);
    EXPECT_FALSE(ComPortRemark(kNetworkPort).empty());
}

TEST_P(NetworkPort, ADroppedConnectionIsADeviceGoneAndComesBack) {
    ASSERT_EQ(ExchangeOverNetwork(MakeFrame(5), 36).size(), 36u);
    server->stop();
    EXPECT_TRUE(SeesGone(5.0));
    EXPECT_EQ(ComDevicePresent(kNetworkPort), 0);
    char byte = 0;
    EXPECT_EQ(ComRd(kNetworkPort, &byte, 1), kComIoError);

    ASSERT_TRUE(server->start());
    EXPECT_EQ(ComDevicePresent(kNetworkPort), 1);
    CloseCom(kNetworkPort);
    ASSERT_EQ(OpenComConfig(kNetworkPort, "", 19200, 0, 8, 1, 512, 512), 0)
        << ComOpenFailureReason(kNetworkPort);
    SetComTime(kNetworkPort, 2.0);
    EXPECT_EQ(ExchangeOverNetwork(MakeFrame(5), 36).size(), 36u);
    EXPECT_EQ(ComDeviceGone(kNetworkPort), 0);
}

INSTANTIATE_TEST_SUITE_P(RawAndRfc2217, NetworkPort, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Rfc2217" : "RawTcp"; });

TEST(NetworkPortAddress, ParsesWhatTheCommandLineAccepts) {
    struct Row {
        const char* text;
        bool ok;
        bool telnet;
        const char* host;
        int port;
    };
    const Row rows[] = {
        {"tcp://10.0.0.7:4001", true, false, "10.0.0.7", 4001},
        {"rfc2217://server.lan:2217", true, true, "server.lan", 2217},
        {"tcp://[::1]:65535", true, false, "::1", 65535},
        {"tcp://host:0", false, false, "", 0},
        {"tcp://host:65536", false, false, "", 0},
        {"rfc2217://host", false, false, "", 0},
        {"tcp://:4001", false, false, "", 0},
        {"tcp://host:40x1", false, false, "", 0},
    };
    for (const Row& row : rows) {
        NetworkAddress address;
        std::string why;
        ASSERT_TRUE(IsNetworkAddress(row.text)) << row.text;
        EXPECT_EQ(ParseNetworkAddress(row.text, address, &why), row.ok) << row.text;
        EXPECT_EQ(why.empty(), row.ok) << row.text;
        if (!row.ok) continue;
        EXPECT_EQ(address.telnet, row.telnet) << row.text;
        EXPECT_EQ(address.host, row.host) << row.text;
        EXPECT_EQ(address.port, row.port) << row.text;
    }
    EXPECT_FALSE(IsNetworkAddress("/dev/ttyUSB0"));
}

TEST(NetworkPortAddress, NobodyListeningIsNoSerialPortYet) {
    SetComService(nullptr);
    PortTablePin(kNetworkPort, "tcp://127.0.0.1:" + std::to_string(FreeTcpPort()));
    EXPECT_EQ(ComDevicePresent(kNetworkPort), 0);
    EXPECT_EQ(OpenComConfig(kNetworkPort, "", 19200, 0, 8, 1, 512, 512), kComNoSerialPort);
    EXPECT_NE(ComOpenFailureReason(kNetworkPort).find("127.0.0.1"), std::string::npos);
    PortTableClearPins();
}

TEST(AdapterLatency, APtyRefusesLowLatencyAndStillWorks) {
    SetComService(nullptr);
    TestPty pty;
    ASSERT_TRUE(pty.ok());
    PortTablePin(kNetworkPort, pty.slavePath());
    ASSERT_EQ(OpenComConfig(kNetworkPort, "", 19200, 0, 8, 1, 512, 512), 0);
    EXPECT_NE(ComPortRemark(kNetworkPort).find("Low-latency mode not set on " + pty.slavePath()),
              std::string::npos)
        << ComPortRemark(kNetworkPort);
    const auto frame = MakeFrame(5);
    EXPECT_EQ(ComWrt(kNetworkPort, reinterpret_cast<const char*>(frame.data()), 36), 36);
    EXPECT_EQ(pty.receive(36), frame);
    CloseCom(kNetworkPort);
    PortTableClearPins();
}

}  // namespace
