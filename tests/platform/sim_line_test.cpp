// The simulated line: virtual time, the scripted peer, notifications and actions.
#include "tests/support/sim_line.h"

#include <gtest/gtest.h>

#include <QTimer>

#include "platform/serial/serial_port.h"
#include "tests/support/frames.h"

namespace {

constexpr int kPort = 1;

struct Notes {
    std::vector<int> events;
    std::vector<double> times;
    int bytesRead = 0;
    int* flag = nullptr;
};

void RecordAndRead(int port, int events, void* data) {
    auto* notes = static_cast<Notes*>(data);
    notes->events.push_back(events);
    notes->times.push_back(Timer());
    if ((events & kComEventNotifyCount) == 0) return;
    char frame[36];
    notes->bytesRead += ComRd(port, frame, sizeof frame);
    if (notes->flag != nullptr) *notes->flag = 1;
}

void Record(int /*port*/, int events, void* data) {
    static_cast<Notes*>(data)->events.push_back(events);
}

class SimSerial : public ::testing::Test {
  protected:
    void SetUp() override {
        SetComService(&line);
        ASSERT_EQ(OpenComConfig(kPort, "", 19200, 0, 8, 1, 4096, 4096), 0);
    }
    void TearDown() override { SetComService(nullptr); }

    int read(std::vector<uint8_t>& into, int count) {
        into.assign(static_cast<size_t>(count), 0);
        const int n = ComRd(kPort, reinterpret_cast<char*>(into.data()), count);
        into.resize(static_cast<size_t>(std::max(n, 0)));
        return n;
    }

    SimLine line;
    Notes notes;
};

TEST_F(SimSerial, ReadTimesOutAtExactlyThePortTimeOutWithWhatArrived) {
    ASSERT_EQ(SetComTime(kPort, 2.0), 0);
    Delay(0.25);
    line.deliver(kPort, FrameBytes(1, 10), 0.75);
    line.deliver(kPort, FrameBytes(2, 10), 2.25);  // the last moment of the wait
    line.deliver(kPort, FrameBytes(3, 10), 2.26);  // too late
    std::vector<uint8_t> got;
    EXPECT_EQ(read(got, 36), 20);
    EXPECT_DOUBLE_EQ(line.now(), 2.25);
    EXPECT_NEAR(Timer(), 2.25, 1e-6);  // reading the clock takes a nanosecond
    Delay(0.01);
    EXPECT_EQ(GetInQLen(kPort), 10);
}

TEST_F(SimSerial, ReadReturnsWhenTheCountIsComplete) {
    ASSERT_EQ(SetComTime(kPort, 2.0), 0);
    line.deliver(kPort, FrameBytes(1, 20), 0.3);
    line.deliver(kPort, FrameBytes(2, 20), 0.7);
    line.deliver(kPort + 1, FrameBytes(3, 36), 0.5);  // another port's bytes do not count
    std::vector<uint8_t> got;
    EXPECT_EQ(read(got, 36), 36);
    EXPECT_DOUBLE_EQ(line.now(), 0.7);
    EXPECT_EQ(GetInQLen(kPort), 4);

    // Bytes already queued are read without any time passing.
    const double before = line.now();
    EXPECT_EQ(read(got, 4), 4);
    EXPECT_EQ(line.now(), before);
}

TEST_F(SimSerial, TimeMovesOnlyWithDelaysPollsAndWaitingReads) {
    EXPECT_EQ(line.now(), 0.0);
    Delay(0.05);
    EXPECT_DOUBLE_EQ(line.now(), 0.05);
    GetInQLen(kPort);
    EXPECT_DOUBLE_EQ(line.now(), 0.051);
    ProcessSystemEvents();
    EXPECT_DOUBLE_EQ(line.now(), 0.052);
    char buffer[4];
    EXPECT_EQ(ComWrt(kPort, buffer, 4), 4);
    EXPECT_DOUBLE_EQ(line.now(), 0.052);
    Delay(-3.0);
    EXPECT_DOUBLE_EQ(line.now(), 0.052);

    line.setQuantum(0.01);
    ProcessSystemEvents();
    EXPECT_DOUBLE_EQ(line.now(), 0.062);
    EXPECT_EQ(line.processEventsCalls(), 2);
}

TEST_F(SimSerial, AThousandPollsMakeExactlyOneSecond) {
    for (int i = 0; i < 1000; ++i) ProcessSystemEvents();
    EXPECT_EQ(line.now(), 1.0);
}

// The command loops wait for a notified reply for 1.5 s, checking the time-out first.
TEST_F(SimSerial, AReplyLandingInTheTurnOfTheTimeOutIsNotifiedInThatTurn) {
    int rxFlag = 0;
    notes.flag = &rxFlag;
    ASSERT_EQ(InstallComCallback(kPort, 0x8006, 36, 0x55, RecordAndRead, &notes), 0);
    const double start = Timer();
    // The poll that takes the clock past 1.5 s brings the frame with it.
    line.deliver(kPort, FrameBytes(1), start + 1.4995);
    int turns = 0;
    bool timedOut = false;
    for (;;) {
        ProcessSystemEvents();
        ++turns;
        if (Timer() - start > 1.5) {
            timedOut = true;
            break;
        }
        if (rxFlag != 0) break;
    }
    EXPECT_TRUE(timedOut);
    EXPECT_EQ(rxFlag, 1);
    EXPECT_EQ(turns, 1500);
    EXPECT_EQ(notes.bytesRead, 36);
}

TEST_F(SimSerial, NotificationRunsOnlyInProcessSystemEvents) {
    ASSERT_EQ(InstallComCallback(kPort, 0x8006, 36, 0x55, Record, &notes), 0);
    line.deliver(kPort, FrameBytes(1), 0.0);
    line.deliver(kPort, FrameBytes(2), 0.01);
    Delay(0.02);
    EXPECT_EQ(GetInQLen(kPort), 72);
    char buffer[36];
    EXPECT_EQ(ComRd(kPort, buffer, 36), 36);
    EXPECT_EQ(ComWrt(kPort, buffer, 36), 36);
    EXPECT_TRUE(notes.events.empty());

    ProcessSystemEvents();
    EXPECT_EQ(notes.events,
              std::vector<int>{kComEventNotifyCount | kComEventChar | kComEventOutputEmpty});
    EXPECT_EQ(line.notificationsRun(), 1);
    for (int i = 0; i < 5; ++i) ProcessSystemEvents();
    EXPECT_EQ(notes.events.size(), 1u) << "no new bytes, no new call";

    line.deliver(kPort, FrameBytes(3), line.now() + 0.1);
    for (int i = 0; i < 99; ++i) ProcessSystemEvents();
    EXPECT_EQ(notes.events.size(), 1u);
    ProcessSystemEvents();
    ASSERT_EQ(notes.events.size(), 2u);
    EXPECT_EQ(notes.events[1], kComEventNotifyCount | kComEventChar);
}

TEST_F(SimSerial, NotifiesOnceTheNotifyCountHasArrived) {
    ASSERT_EQ(InstallComCallback(kPort, 0x8006, 36, 0x55, RecordAndRead, &notes), 0);
    const auto frame = FrameBytes(4);
    // The sync byte comes with the first part, but the routine waits for the count.
    line.deliver(kPort, {frame.begin(), frame.begin() + 20}, 0.01);
    line.deliver(kPort, {frame.begin() + 20, frame.end()}, 0.02);
    for (int i = 0; i < 15; ++i) ProcessSystemEvents();
    EXPECT_TRUE(notes.events.empty());
    for (int i = 0; i < 10; ++i) ProcessSystemEvents();
    EXPECT_EQ(notes.events, std::vector<int>{kComEventNotifyCount | kComEventChar});
    EXPECT_NEAR(notes.times.at(0), 0.02, 1e-6);
    EXPECT_EQ(notes.bytesRead, 36);
}

TEST_F(SimSerial, MaskZeroKeepsBytesQueuedAndOtherEventsNotifyOnTheirOwn) {
    ASSERT_EQ(InstallComCallback(kPort, 0x8006, 36, 0x55, Record, &notes), 0);
    ASSERT_EQ(InstallComCallback(kPort, 0, 36, 0x55, nullptr, nullptr), 0);
    EXPECT_EQ(line.notificationMask(kPort), 0);
    line.deliver(kPort, FrameBytes(1), 0.0);
    for (int i = 0; i < 20; ++i) ProcessSystemEvents();
    EXPECT_TRUE(notes.events.empty());
    EXPECT_EQ(GetInQLen(kPort), 36);

    // Only the output-empty event: each write reports it.
    ASSERT_EQ(InstallComCallback(kPort, kComEventOutputEmpty, 0, 0, Record, &notes), 0);
    ProcessSystemEvents();
    EXPECT_TRUE(notes.events.empty());
    char buffer[36] = {};
    ComWrt(kPort, buffer, 36);
    ProcessSystemEvents();
    EXPECT_EQ(notes.events, std::vector<int>{kComEventOutputEmpty});
}

TEST_F(SimSerial, FlushInQDropsWhatArrivedButNotWhatIsStillToCome) {
    line.deliver(kPort, FrameBytes(1, 10), 0.0);
    EXPECT_EQ(GetInQLen(kPort), 10);
    line.deliver(kPort, FrameBytes(2, 5), line.now());  // due, not landed yet
    line.deliver(kPort, FrameBytes(3, 7), line.now() + 0.5);
    EXPECT_EQ(FlushInQ(kPort), 0);
    EXPECT_EQ(GetInQLen(kPort), 0);
    Delay(0.5);
    EXPECT_EQ(GetInQLen(kPort), 7);
}

TEST_F(SimSerial, ThePeerAnswersWrittenFramesAtChosenTimes) {
    line.setPeer([](SimLine& l, const std::vector<uint8_t>& bytes, double now) {
        std::vector<uint8_t> reply = bytes;
        reply[1] ^= 0xFF;
        l.deliver(kPort, reply, now + 0.025);
    });
    ASSERT_EQ(SetComTime(kPort, 2.0), 0);
    Delay(0.1);
    const auto request = FrameBytes(8);
    EXPECT_EQ(ComWrt(kPort, reinterpret_cast<const char*>(request.data()), 36), 36);
    ASSERT_EQ(line.writes().size(), 1u);
    EXPECT_EQ(line.writes()[0].port, kPort);
    EXPECT_DOUBLE_EQ(line.writes()[0].time, 0.1);
    EXPECT_EQ(line.writes()[0].bytes, request);

    std::vector<uint8_t> reply;
    EXPECT_EQ(read(reply, 36), 36);
    EXPECT_DOUBLE_EQ(line.now(), 0.125);
    EXPECT_EQ(reply[1], static_cast<uint8_t>(request[1] ^ 0xFF));

    line.setWriteLimit(kPort, 10);
    EXPECT_EQ(ComWrt(kPort, reinterpret_cast<const char*>(request.data()), 36), 10);
    EXPECT_EQ(line.writes().back().bytes.size(), 10u);
    line.clearWrites();
    EXPECT_TRUE(line.writes().empty());
}

TEST_F(SimSerial, ActionsRunInTheFirstPollAtOrAfterTheirTime) {
    std::vector<std::string> done;
    line.at(0.003, [&] { done.push_back("b"); });
    line.at(0.002, [&] {
        done.push_back("a");
        line.at(0.0, [&] { done.push_back("later"); });
    });
    line.at(0.0025, [&] { done.push_back("a2"); });
    Delay(0.0025);
    EXPECT_TRUE(done.empty()) << "actions run only in ProcessSystemEvents";
    ProcessSystemEvents();  // now 0.0035
    EXPECT_EQ(done, (std::vector<std::string>{"a", "a2", "b"}));
    ProcessSystemEvents();
    EXPECT_EQ(done.back(), "later");
}

TEST_F(SimSerial, QtEventsAreProcessedInEachPoll) {
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    Delay(1.0);
    EXPECT_FALSE(ran);
    ProcessSystemEvents();
    EXPECT_TRUE(ran);
}

TEST_F(SimSerial, ClosedPortsAndFailedOpens) {
    char buffer[36] = {};
    EXPECT_EQ(CloseCom(kPort), 0);
    EXPECT_EQ(CloseCom(kPort), 0);
    EXPECT_FALSE(line.isOpen(kPort));
    EXPECT_EQ(ComWrt(kPort, buffer, 36), kComPortNotOpen);
    EXPECT_EQ(ComRd(kPort, buffer, 36), kComPortNotOpen);
    EXPECT_EQ(GetInQLen(kPort), kComPortNotOpen);
    EXPECT_TRUE(line.writes().empty());

    // Bytes that arrive while nobody listens are lost.
    line.deliver(kPort, FrameBytes(1), 0.0);
    Delay(0.01);
    ASSERT_EQ(OpenComConfig(kPort, "", 19200, 0, 8, 1, 4096, 4096), 0);
    EXPECT_EQ(GetInQLen(kPort), 0);

    line.setOpenResult(3, kComCannotOpen, "Device or resource busy");
    EXPECT_EQ(OpenComConfig(3, "", 19200, 0, 8, 1, 4096, 4096), kComCannotOpen);
    EXPECT_EQ(ComOpenFailureReason(3), "Device or resource busy");
    EXPECT_FALSE(line.isOpen(3));
    line.setOpenResult(3, 0);
    EXPECT_EQ(OpenComConfig(3, "", 19200, 0, 8, 1, 4096, 4096), 0);
    EXPECT_EQ(ComOpenFailureReason(3), "");

    EXPECT_EQ(OpenComConfig(0, "", 19200, 0, 8, 1, 4096, 4096), kComInvalidPort);
    EXPECT_EQ(OpenComConfig(256, "", 19200, 0, 8, 1, 4096, 4096), kComInvalidPort);
    EXPECT_EQ(OpenComConfig(4, "", -9600, 0, 8, 1, 4096, 4096), kComInvalidParameter);
    EXPECT_EQ(OpenComConfig(4, "", 19200, 0, 4, 1, 4096, 4096), kComInvalidParameter);
    EXPECT_FALSE(line.isOpen(4));
}

TEST_F(SimSerial, AnUnpluggedDeviceFailsTheOpenPortUntilItIsBackAndReopened) {
    line.deliver(kPort, FrameBytes(1), 0.0);
    line.deliver(kPort, FrameBytes(2), 0.5);
    Delay(0.1);
    EXPECT_EQ(ComDeviceGone(kPort), 0);
    line.unplug(kPort);
    EXPECT_EQ(ComDeviceGone(kPort), 1);
    EXPECT_EQ(ComDevicePresent(kPort), 0);
    std::vector<uint8_t> got;
    EXPECT_EQ(read(got, 72), 36) << "what had arrived, at once; the rest is lost";
    EXPECT_EQ(read(got, 36), kComIoError);
    char buffer[36] = {};
    EXPECT_EQ(ComWrt(kPort, buffer, 36), kComIoError);
    EXPECT_EQ(OpenComConfig(kPort, "", 19200, 0, 8, 1, 4096, 4096), kComNoSerialPort);

    line.plugIn(kPort);
    EXPECT_EQ(ComDevicePresent(kPort), 1);
    ASSERT_EQ(OpenComConfig(kPort, "", 19200, 0, 8, 1, 4096, 4096), 0);
    EXPECT_EQ(ComDeviceGone(kPort), 0);
    EXPECT_EQ(ComWrt(kPort, buffer, 36), 36);
}

TEST_F(SimSerial, ARoutineMayCloseItsPortAndPumpEvents) {
    auto routine = [](int port, int, void* data) {
        ++*static_cast<int*>(data);
        ProcessSystemEvents();  // nested: must not run this routine again
        CloseCom(port);
    };
    int calls = 0;
    ASSERT_EQ(InstallComCallback(kPort, 0x8000, 36, 0x55, routine, &calls), 0);
    line.deliver(kPort, FrameBytes(1), 0.0);
    line.deliver(kPort, FrameBytes(2), 0.0015);
    ProcessSystemEvents();
    ProcessSystemEvents();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(line.isOpen(kPort));
}

TEST(SimLineInstall, RoutesEveryCallAndUninstallsItselfWhenDestroyed) {
    char buffer[4] = {};
    {
        SimLine line;
        SetComService(&line);
        EXPECT_EQ(&ActiveComService(), &line);
        ASSERT_EQ(OpenComConfig(9, "", 19200, 0, 8, 1, 4096, 4096), 0);
        EXPECT_EQ(ComWrt(9, buffer, 4), 4);
        EXPECT_EQ(line.writes().size(), 1u);
        Delay(3.0);
        EXPECT_NEAR(Timer(), 3.0, 1e-6);
    }
    // Back on the host, where COM9 was never opened.
    EXPECT_EQ(dynamic_cast<SimLine*>(&ActiveComService()), nullptr);
    EXPECT_EQ(ComWrt(9, buffer, 4), kComPortNotOpen);
}

}  // namespace
