// The traffic tap at the RS-232 calls, on both back ends: it hears writes, reads and the
// bytes a flush discards (those still in the kernel included), and nothing once removed.
#include "platform/serial/traffic_tap.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/serial/port_table.h"
#include "platform/serial/serial_port.h"
#include "tests/support/frames.h"
#include "tests/support/sim_line.h"
#include "tests/support/test_pty.h"

namespace {

constexpr int kTapPort = 202;
using Bytes = std::vector<unsigned char>;

struct Heard {
    TrafficKind kind;
    int requested;
    int result;
    Bytes bytes;
    bool operator==(const Heard&) const = default;
};

void RecordTraffic(const TrafficEvent& event, void* data) {
    static_cast<std::vector<Heard>*>(data)->push_back(
        {event.kind, event.requested, event.result, Bytes(event.bytes, event.bytes + event.count)});
}

// Writes a frame, lets the device answer with first (then second, which the host back end
// has not fetched from the kernel yet), reads five bytes and flushes the rest.
std::vector<Heard> ExchangeThroughTap(const std::function<void(const Bytes&)>& device,
                                      const Bytes& first, const Bytes& second) {
    std::vector<Heard> heard;
    SetTrafficListener(&RecordTraffic, &heard);
    const Bytes frame = FrameBytes(1);
    ComWrt(kTapPort, reinterpret_cast<const char*>(frame.data()), 36);
    device(first);
    char five[5];
    ComRd(kTapPort, five, 5);
    device(second);
    FlushInQ(kTapPort);
    SetTrafficListener(nullptr, nullptr);
    ComWrt(kTapPort, reinterpret_cast<const char*>(frame.data()), 36);  // not heard
    return heard;
}

std::vector<Heard> Expected(const Bytes& first, const Bytes& second) {
    const Bytes rest = Concat(Bytes(first.begin() + 5, first.end()), second);
    return {{TrafficKind::Written, 36, 36, FrameBytes(1)},
            {TrafficKind::Read, 5, 5, Bytes(first.begin(), first.begin() + 5)},
            {TrafficKind::Flushed, 12, 12, rest}};
}

TEST(TrafficTap, HearsWritesReadsAndFlushedBytesOnTheHostBackEnd) {
    SetComService(nullptr);
    TestPty pty;
    ASSERT_TRUE(pty.ok());
    PortTablePin(kTapPort, pty.slavePath());
    ASSERT_EQ(OpenComConfig(kTapPort, "", 19200, 0, 8, 1, 4096, 4096), 0);
    SetComTime(kTapPort, 1.0);
    const Bytes first = FrameBytes(10, 10);
    const Bytes second = FrameBytes(20, 7);
    const auto heard = ExchangeThroughTap(
        [&](const Bytes& bytes) {
            ASSERT_TRUE(pty.send(bytes));
            ASSERT_TRUE(pty.waitKernelQueued(static_cast<int>(bytes.size())));
        },
        first, second);
    EXPECT_EQ(heard, Expected(first, second));
    EXPECT_EQ(GetInQLen(kTapPort), 0);
    EXPECT_EQ(pty.kernelQueued(), 0) << "the flush still empties the kernel's queue";
    EXPECT_EQ(pty.receive(72).size(), 72u);
    CloseCom(kTapPort);
    PortTableClearPins();
}

TEST(TrafficTap, HearsWritesReadsAndFlushedBytesOnTheSimulatedLine) {
    SimLine line;
    SetComService(&line);
    ASSERT_EQ(OpenComConfig(kTapPort, "", 19200, 0, 8, 1, 4096, 4096), 0);
    const Bytes first = FrameBytes(10, 10);
    const Bytes second = FrameBytes(20, 7);
    const double before = line.now();
    const auto heard = ExchangeThroughTap(
        [&](const Bytes& bytes) {
            line.deliver(kTapPort, std::vector<uint8_t>(bytes.begin(), bytes.end()), line.now());
        },
        first, second);
    EXPECT_EQ(heard, Expected(first, second));
    EXPECT_LT(line.now() - before, 1e-6) << "listening moves no clock";
    EXPECT_EQ(GetInQLen(kTapPort), 0);
    EXPECT_EQ(line.writes().size(), 2u);
    SetComService(nullptr);
}

}  // namespace
