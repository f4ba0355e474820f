// The host back end on pseudo-terminals the tests make themselves.
#include <gtest/gtest.h>
#include <time.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/serial/com_service.h"
#include "platform/serial/port_table.h"
#include "platform/serial/serial_port.h"
#include "tests/support/frames.h"
#include "tests/support/test_pty.h"

namespace {

constexpr int kPtyPort = 201;

struct PtyNotes {
    std::vector<int> events;
    int bytesRead = 0;
    QEventLoop* loop = nullptr;
};

void RecordEvents(int /*port*/, int events, void* data) {
    static_cast<PtyNotes*>(data)->events.push_back(events);
}

void RecordAndReadFrame(int port, int events, void* data) {
    auto* notes = static_cast<PtyNotes*>(data);
    notes->events.push_back(events);
    char frame[36];
    notes->bytesRead += ComRd(port, frame, sizeof frame);
    if (notes->loop != nullptr) notes->loop->quit();
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

int OpenAt(int port) {
    return OpenComConfig(port, "", 19200, 0, 8, 1, 4096, 4096);
}

class HostSerial : public ::testing::Test {
  protected:
    void SetUp() override {
        SetComService(nullptr);
        ASSERT_TRUE(pty.ok());
        PortTablePin(kPtyPort, pty.slavePath());
        ASSERT_EQ(OpenAt(kPtyPort), 0) << ComOpenFailureReason(kPtyPort);
    }
    void TearDown() override {
        CloseCom(kPtyPort);
        PortTableClearPins();
    }

    // The input queue reaches count bytes (fetched from the kernel by GetInQLen alone).
    bool waitQueued(int count) {
        for (int i = 0; i < 1000; ++i) {
            if (GetInQLen(kPtyPort) >= count) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    template <typename Done>
    bool pumpUntil(Done done, double seconds = 2.0) {
        const double end = Timer() + seconds;
        while (!done()) {
            if (Timer() > end) return false;
            ProcessSystemEvents();
        }
        return true;
    }

    TestPty pty;
    PtyNotes notes;
};

TEST_F(HostSerial, CarriesFramesBothWays) {
    const auto out = FrameBytes(1);
    EXPECT_EQ(ComWrt(kPtyPort, reinterpret_cast<const char*>(out.data()), 36), 36);
    EXPECT_EQ(pty.receive(36), out);

    const auto in = FrameBytes(100);
    ASSERT_TRUE(pty.send(in));
    SetComTime(kPtyPort, 1.0);
    std::vector<unsigned char> got(36);
    EXPECT_EQ(ComRd(kPtyPort, reinterpret_cast<char*>(got.data()), 36), 36);
    EXPECT_EQ(got, in);
}

TEST_F(HostSerial, ReopeningAnOpenPortLeavesItWorking) {
    ASSERT_EQ(OpenAt(kPtyPort), 0) << ComOpenFailureReason(kPtyPort);
    const auto out = FrameBytes(7);
    EXPECT_EQ(ComWrt(kPtyPort, reinterpret_cast<const char*>(out.data()), 36), 36);
    EXPECT_EQ(pty.receive(36), out);
}

TEST(HostSerialOpen, ReportsWhyAPortCannotBeOpened) {
    SetComService(nullptr);
    TestPty pty;
    ASSERT_TRUE(pty.ok());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string plainFile = dir.filePath("not-a-tty").toStdString();
    {
        QFile f(QString::fromStdString(plainFile));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }

    // A number within range with no device behind it is a port not plugged in.
    ASSERT_EQ(PortTableDevice(255), "") << "COM255 has a device on this machine";
    EXPECT_EQ(OpenAt(255), kComNoSerialPort);
    EXPECT_FALSE(ComOpenFailureReason(255).empty());
    EXPECT_EQ(OpenAt(0), kComInvalidPort);
    EXPECT_EQ(OpenAt(256), kComInvalidPort);
    EXPECT_EQ(OpenAt(-1), kComInvalidPort);

    PortTablePin(210, dir.filePath("ttyMissing").toStdString());
    EXPECT_EQ(OpenAt(210), kComNoSerialPort);
    EXPECT_NE(ComOpenFailureReason(210).find("No such file"), std::string::npos)
        << ComOpenFailureReason(210);

    PortTablePin(211, dir.path().toStdString());
    EXPECT_EQ(OpenAt(211), kComCannotOpen);
    EXPECT_FALSE(ComOpenFailureReason(211).empty());

    PortTablePin(212, plainFile);
    EXPECT_EQ(OpenAt(212), kComCannotOpen);
    EXPECT_FALSE(ComOpenFailureReason(212).empty());

    PortTablePin(213, pty.slavePath());
    EXPECT_EQ(OpenComConfig(213, "", 0, 0, 8, 1, 4096, 4096), kComInvalidParameter);
    EXPECT_EQ(OpenComConfig(213, "", 19200, 5, 8, 1, 4096, 4096), kComInvalidParameter);
    EXPECT_EQ(OpenComConfig(213, "", 19200, 0, 9, 1, 4096, 4096), kComInvalidParameter);
    EXPECT_EQ(OpenComConfig(213, "", 19200, 0, 8, 3, 4096, 4096), kComInvalidParameter);
    EXPECT_EQ(OpenAt(213), 0) << ComOpenFailureReason(213);
    EXPECT_EQ(ComOpenFailureReason(213), "");
    EXPECT_EQ(CloseCom(213), 0);
    PortTableClearPins();
}

TEST_F(HostSerial, NotificationRunsOnlyInProcessSystemEvents) {
    ASSERT_EQ(InstallComCallback(kPtyPort, 0x8006, 36, 0x55, RecordEvents, &notes), 0);
    ASSERT_TRUE(pty.send(Concat(FrameBytes(1), FrameBytes(60))));

    ASSERT_TRUE(waitQueued(72));
    char buffer[36];
    EXPECT_EQ(ComRd(kPtyPort, buffer, 36), 36);
    EXPECT_EQ(ComWrt(kPtyPort, buffer, 36), 36);
    Delay(0.01);
    EXPECT_TRUE(notes.events.empty()) << "ran inside GetInQLen, ComRd, ComWrt or Delay";

    ProcessSystemEvents();
    ASSERT_EQ(notes.events.size(), 1u);
    EXPECT_EQ(notes.events[0], kComEventNotifyCount | kComEventChar | kComEventOutputEmpty);

    // 36 bytes still wait, but nothing new arrived: no second call.
    for (int i = 0; i < 5; ++i) ProcessSystemEvents();
    EXPECT_EQ(notes.events.size(), 1u);
    EXPECT_EQ(GetInQLen(kPtyPort), 36);

    ASSERT_TRUE(pty.send(FrameBytes(9)));
    ASSERT_TRUE(pumpUntil([&] { return notes.events.size() == 2; }));
    EXPECT_EQ(notes.events[1], kComEventNotifyCount | kComEventChar);
}

TEST_F(HostSerial, NotifiesOnceTheNotifyCountHasArrived) {
    ASSERT_EQ(
        InstallComCallback(kPtyPort, kComEventNotifyCount, 36, 0x55, RecordAndReadFrame, &notes),
        0);
    const auto frame = FrameBytes(3);
    ASSERT_TRUE(pty.send({frame.begin(), frame.begin() + 20}));
    ASSERT_TRUE(waitQueued(20));
    for (int i = 0; i < 10; ++i) ProcessSystemEvents();
    EXPECT_TRUE(notes.events.empty());

    ASSERT_TRUE(pty.send({frame.begin() + 20, frame.end()}));
    ASSERT_TRUE(pumpUntil([&] { return !notes.events.empty(); }));
    EXPECT_EQ(notes.events, std::vector<int>{kComEventNotifyCount});
    EXPECT_EQ(notes.bytesRead, 36);
    EXPECT_EQ(GetInQLen(kPtyPort), 0);
}

TEST_F(HostSerial, MaskZeroSwitchesTheNotificationOffAndKeepsBytesQueued) {
    ASSERT_EQ(InstallComCallback(kPtyPort, 0x8006, 36, 0x55, RecordAndReadFrame, &notes), 0);
    ASSERT_EQ(InstallComCallback(kPtyPort, 0, 36, 0x55, nullptr, nullptr), 0);
    ASSERT_TRUE(pty.send(FrameBytes(5)));
    ASSERT_TRUE(waitQueued(36));
    for (int i = 0; i < 20; ++i) ProcessSystemEvents();
    EXPECT_TRUE(notes.events.empty());
    EXPECT_EQ(GetInQLen(kPtyPort), 36);

    // Switched on again, the waiting frame is reported.
    ASSERT_EQ(InstallComCallback(kPtyPort, 0x8006, 36, 0x55, RecordAndReadFrame, &notes), 0);
    ProcessSystemEvents();
    EXPECT_EQ(notes.events, std::vector<int>{kComEventNotifyCount});
    EXPECT_EQ(notes.bytesRead, 36);
}

TEST_F(HostSerial, ReadReturnsTheCountOrWhatCameByTheTimeOut) {
    ASSERT_EQ(SetComTime(kPtyPort, 0.2), 0);
    ASSERT_TRUE(pty.send(FrameBytes(1, 50)));
    ASSERT_TRUE(waitQueued(50));
    char buffer[64];
    EXPECT_EQ(ComRd(kPtyPort, buffer, 36), 36);
    EXPECT_EQ(GetInQLen(kPtyPort), 14);

    const double start = Timer();
    EXPECT_EQ(ComRd(kPtyPort, buffer, 36), 14);
    const double waited = Timer() - start;
    EXPECT_GE(waited, 0.19);
    EXPECT_LT(waited, 1.0);

    ASSERT_EQ(SetComTime(kPtyPort, 0.0), 0);  // no waiting at all
    const double again = Timer();
    EXPECT_EQ(ComRd(kPtyPort, buffer, 36), 0);
    EXPECT_LT(Timer() - again, 0.1);
}

TEST_F(HostSerial, ReadCollectsAFrameArrivingInPieces) {
    ASSERT_EQ(SetComTime(kPtyPort, 1.5), 0);
    const auto frame = FrameBytes(11);
    std::thread device([&] {
        for (int piece = 0; piece < 3; ++piece) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            pty.send({frame.begin() + piece * 12, frame.begin() + piece * 12 + 12});
        }
    });
    const double start = Timer();
    std::vector<unsigned char> got(36);
    const int n = ComRd(kPtyPort, reinterpret_cast<char*>(got.data()), 36);
    const double waited = Timer() - start;
    device.join();
    EXPECT_EQ(n, 36);
    EXPECT_EQ(got, frame);
    EXPECT_LT(waited, 1.0);
}

TEST_F(HostSerial, FlushInQDiscardsQueuedBytesAndThoseStillInTheKernel) {
    ASSERT_TRUE(pty.send(FrameBytes(1, 10)));
    ASSERT_TRUE(waitQueued(10));
    ASSERT_TRUE(pty.send(FrameBytes(2, 7)));
    ASSERT_TRUE(pty.waitKernelQueued(7));  // not fetched by the service yet
    EXPECT_EQ(FlushInQ(kPtyPort), 0);
    EXPECT_EQ(GetInQLen(kPtyPort), 0);
    EXPECT_EQ(pty.kernelQueued(), 0);

    const auto fresh = FrameBytes(40);
    ASSERT_TRUE(pty.send(fresh));
    SetComTime(kPtyPort, 1.0);
    std::vector<unsigned char> got(36);
    EXPECT_EQ(ComRd(kPtyPort, reinterpret_cast<char*>(got.data()), 36), 36);
    EXPECT_EQ(got, fresh);
}

TEST_F(HostSerial, CallsOnAClosedPortFailWithoutHarm) {
    EXPECT_EQ(CloseCom(kPtyPort), 0);
    EXPECT_EQ(CloseCom(kPtyPort), 0);
    EXPECT_EQ(CloseCom(77), 0);  // never opened
    char buffer[36] = {};
    EXPECT_EQ(ComWrt(kPtyPort, buffer, 36), kComPortNotOpen);
    EXPECT_EQ(ComWrt(77, buffer, 36), kComPortNotOpen);
    EXPECT_EQ(ComRd(kPtyPort, buffer, 36), kComPortNotOpen);
    EXPECT_EQ(GetInQLen(kPtyPort), kComPortNotOpen);
    EXPECT_EQ(FlushInQ(kPtyPort), kComPortNotOpen);
    EXPECT_EQ(SetComTime(kPtyPort, 1.0), kComPortNotOpen);
    EXPECT_EQ(InstallComCallback(kPtyPort, 0x8000, 36, 0x55, RecordEvents, &notes),
              kComPortNotOpen);
    EXPECT_EQ(pty.receive(1, 0.05).size(), 0u);
}

TEST_F(HostSerial, RejectsBadArgumentsOnAnOpenPort) {
    char buffer[36] = {};
    EXPECT_EQ(ComRd(kPtyPort, nullptr, 36), kComInvalidParameter);
    EXPECT_EQ(ComRd(kPtyPort, buffer, -1), kComInvalidParameter);
    EXPECT_EQ(ComWrt(kPtyPort, nullptr, 36), kComInvalidParameter);
    EXPECT_EQ(ComWrt(kPtyPort, buffer, -5), kComInvalidParameter);
    EXPECT_EQ(SetComTime(kPtyPort, -1.0), kComInvalidParameter);
    EXPECT_EQ(InstallComCallback(kPtyPort, kComEventNotifyCount, 0, 0x55, RecordEvents, &notes),
              kComInvalidParameter);
    EXPECT_EQ(InstallComCallback(kPtyPort, kComEventChar, 36, 300, RecordEvents, &notes),
              kComInvalidParameter);
    EXPECT_EQ(SetCTSMode(kPtyPort, 0), 0);  // no handshake lines on a pty: still fine
}

TEST_F(HostSerial, AHungUpLineEndsReadsAndWritesPromptly) {
    ASSERT_EQ(InstallComCallback(kPtyPort, 0x8006, 36, 0x55, RecordAndReadFrame, &notes), 0);
    ASSERT_EQ(SetComTime(kPtyPort, 1.0), 0);
    EXPECT_EQ(ComDeviceGone(kPtyPort), 0);
    EXPECT_EQ(ComDevicePresent(kPtyPort), 1);
    pty.closeMaster();
    EXPECT_EQ(ComDeviceGone(kPtyPort), 1) << "noticed when asked, without waiting for events";
    char buffer[36] = {};
    const double start = Timer();
    EXPECT_LE(ComRd(kPtyPort, buffer, 36), 0);
    EXPECT_LT(ComWrt(kPtyPort, buffer, 36), 36);
    EXPECT_LT(Timer() - start, 0.5);

    // Polling the dead line must not spin.
    const double wall = Timer();
    const double cpu = CpuSeconds();
    for (int i = 0; i < 50; ++i) ProcessSystemEvents();
    EXPECT_LT(CpuSeconds() - cpu, 0.5 * (Timer() - wall));
    EXPECT_EQ(CloseCom(kPtyPort), 0);
    EXPECT_EQ(ComDeviceGone(kPtyPort), 0) << "a closed port has no device to lose";
}

TEST_F(HostSerial, ADeviceIsPresentWhileItsPathLeadsToOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string link = dir.filePath(QStringLiteral("controller")).toStdString();
    PortTablePin(kPtyPort + 1, link);
    EXPECT_EQ(ComDevicePresent(kPtyPort + 1), 0);
    ASSERT_TRUE(QFile::link(QString::fromStdString(pty.slavePath()), QString::fromStdString(link)));
    EXPECT_EQ(ComDevicePresent(kPtyPort + 1), 1);
    ASSERT_TRUE(QFile::remove(QString::fromStdString(link)));
    ASSERT_TRUE(
        QFile::link(QStringLiteral("/dev/kervano-no-such-device"), QString::fromStdString(link)));
    EXPECT_EQ(ComDevicePresent(kPtyPort + 1), 0) << "a link that leads nowhere";
    EXPECT_EQ(ComDevicePresent(kPtyPort + 2), 0) << "no device behind the number";
}

TEST_F(HostSerial, IdleProcessSystemEventsWaitsBrieflyWithoutBurningTheCpu) {
    ASSERT_EQ(InstallComCallback(kPtyPort, 0x8006, 36, 0x55, RecordAndReadFrame, &notes), 0);
    double longest = 0.0;
    const double wall = Timer();
    const double cpu = CpuSeconds();
    for (int i = 0; i < 100; ++i) {
        const double start = Timer();
        ProcessSystemEvents();
        longest = std::max(longest, Timer() - start);
    }
    const double wallSpent = Timer() - wall;
    EXPECT_LT(longest, 0.05);
    EXPECT_GT(wallSpent, 0.05) << "does not wait when idle";
    EXPECT_LT(CpuSeconds() - cpu, 0.5 * wallSpent);
}

TEST_F(HostSerial, WaitingForInputSleepsUntilTheCountOrTheLimit) {
    std::thread device([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pty.send(FrameBytes(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pty.send(FrameBytes(2));
    });
    const double start = Timer();
    EXPECT_EQ(ComWaitInQ(kPtyPort, 72, 2.0), 72) << "both pieces, not just the first";
    EXPECT_LT(Timer() - start, 1.0);
    device.join();

    const double wall = Timer();
    const double cpu = CpuSeconds();
    EXPECT_EQ(ComWaitInQ(kPtyPort, 100, 0.3), 72) << "the limit ends it with what waits";
    const double spent = Timer() - wall;
    EXPECT_GE(spent, 0.29);
    EXPECT_LT(CpuSeconds() - cpu, 0.3 * spent) << "a wait, not a poll";
    EXPECT_EQ(ComWaitInQ(kPtyPort + 1, 36, 0.01), kComPortNotOpen);
}

TEST_F(HostSerial, ArrivingBytesReachTheRoutineWithinMilliseconds) {
    ASSERT_EQ(InstallComCallback(kPtyPort, 0x8006, 36, 0x55, RecordAndReadFrame, &notes), 0);
    const auto frame = FrameBytes(21);
    std::atomic<double> sentAt{0.0};
    std::thread device([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        sentAt = Timer();
        pty.send(frame);
    });
    const bool arrived = pumpUntil([&] { return notes.bytesRead == 36; });
    const double latency = Timer() - sentAt;
    device.join();
    ASSERT_TRUE(arrived);
    EXPECT_LT(latency, 0.1);
}

TEST_F(HostSerial, NotificationRunsInsideTheQtEventLoop) {
    QEventLoop loop;
    notes.loop = &loop;
    ASSERT_EQ(InstallComCallback(kPtyPort, 0x8006, 36, 0x55, RecordAndReadFrame, &notes), 0);
    ASSERT_TRUE(pty.send(FrameBytes(30)));
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(notes.events.size(), 1u);
    EXPECT_EQ(notes.bytesRead, 36);
}

TEST_F(HostSerial, DelaySleepsWithoutProcessingEvents) {
    ASSERT_EQ(InstallComCallback(kPtyPort, 0x8006, 36, 0x55, RecordEvents, &notes), 0);
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    ASSERT_TRUE(pty.send(FrameBytes(1)));
    const double start = Timer();
    Delay(0.05);
    EXPECT_GE(Timer() - start, 0.049);
    EXPECT_FALSE(timerRan);
    EXPECT_TRUE(notes.events.empty());

    ASSERT_TRUE(pumpUntil([&] { return timerRan && !notes.events.empty(); }));
}

TEST(HostClock, TimerCountsSecondsSteadily) {
    SetComService(nullptr);
    const double first = Timer();
    EXPECT_GE(first, 0.0);
    Delay(0.02);
    const double second = Timer();
    EXPECT_GE(second - first, 0.019);
    EXPECT_LT(second - first, 0.5);
    Delay(-1.0);  // nonsense durations return at once
    EXPECT_LT(Timer() - second, 0.05);
}

}  // namespace
