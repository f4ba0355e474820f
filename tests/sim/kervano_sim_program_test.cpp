// The kervano-sim program end to end: started as a process, talked to over its pty.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <thread>

#include "tests/support/child_process.h"
#include "tests/support/frames.h"
#include "tests/support/test_pty.h"

namespace {

// A running kervano-sim, killed and reaped when it goes out of scope.
struct SimProcess : ChildProcess {
    explicit SimProcess(const std::vector<std::string>& args)
        : ChildProcess(KV_BIN_DIR "/kervano-sim", args) {}
};

}  // namespace

TEST(KervanoSimProgram, ServesTheProtocolOnThePtyItPrints) {
    SimProcess sim({});
    ASSERT_TRUE(sim.started());
    const std::string path = sim.firstLine();
    ASSERT_EQ(path.rfind("/dev/", 0), 0u) << "first line: " << path;
    RawTty client(path);
    ASSERT_TRUE(client.ok());

    const auto echo = client.transact(MakeFrame(5), 36);
    ASSERT_EQ(echo.size(), 36u);
    EXPECT_EQ(WordAt(echo, 0), 0x0055);
    EXPECT_EQ(PayloadWord(echo, 0), 0x00AA);

    const auto firmware = client.transact(MakeFrame(7), 64);
    ASSERT_EQ(firmware.size(), 64u);
    std::string text;
    for (size_t i = 0; i < 32 && WordAt(firmware, i) != 0; ++i)
        text += static_cast<char>(WordAt(firmware, i));
    EXPECT_EQ(text, "SIM 1.31");

    EXPECT_EQ(client.transact(MakeFrame(9, {0, 1}), 128).size(), 128u);

    const auto shortPacket = client.transact(MakeFrame(2, {1}), 36);
    ASSERT_EQ(shortPacket.size(), 36u);
    EXPECT_EQ(WordAt(shortPacket, 1), 2);
    EXPECT_EQ(PayloadWord(shortPacket, 0), 1);
    EXPECT_EQ(PayloadWord(shortPacket, 3), 100);

    EXPECT_TRUE(ExitedWith(sim.finish(SIGTERM), 0));
}

TEST(KervanoSimProgram, FaultOptionsShapeTheReplies) {
    SimProcess sim({"--echo-word", "0x1234", "--ignore-order", "7", "--ignore-block=128",
                    "--firmware", "ZZ 0.1"});
    const std::string path = sim.firstLine();
    ASSERT_FALSE(path.empty());
    RawTty client(path);
    ASSERT_TRUE(client.ok());
    EXPECT_EQ(PayloadWord(client.transact(MakeFrame(5), 36), 0), 0x1234);
    EXPECT_TRUE(client.transact(MakeFrame(7), 1, 0.15).empty());
    EXPECT_TRUE(client.transact(MakeFrame(9, {128, 1}), 1, 0.15).empty());
    EXPECT_EQ(client.transact(MakeFrame(9, {64, 1}), 128).size(), 128u);
    EXPECT_TRUE(ExitedWith(sim.finish(SIGINT), 0));
}

TEST(KervanoSimProgram, HangsUpAfterTheGivenFrames) {
    SimProcess sim({"--hangup-after", "1"});
    const std::string path = sim.firstLine();
    ASSERT_FALSE(path.empty());
    RawTty client(path);
    ASSERT_TRUE(client.ok());
    EXPECT_EQ(client.transact(MakeFrame(5), 36).size(), 36u);
    bool hungUp = false;
    (void)client.send(MakeFrame(5));
    EXPECT_TRUE(ReadFor(client.fd(), 1, 1.0, 0.0, &hungUp).empty());
    EXPECT_TRUE(hungUp);
    EXPECT_TRUE(ExitedWith(sim.finish(SIGTERM), 0));
}

TEST(KervanoSimProgram, ServesOnAGivenDeviceAtAGivenPace) {
    TestPty line;
    ASSERT_TRUE(line.ok());
    SimProcess sim({"--device", line.slavePath(), "--baud", "2400"});
    EXPECT_EQ(sim.firstLine(), line.slavePath());

    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(line.send(MakeFrame(5)));
    const auto reply = line.receive(36, 1.0);
    EXPECT_EQ(reply.size(), 36u);
    EXPECT_GE(SecondsSince(start), 0.295);  // 36 bytes each way at 2400 baud
    EXPECT_TRUE(ExitedWith(sim.finish(SIGTERM), 0));
}

TEST(KervanoSimProgram, BadCommandLinesExitWithTwo) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--bogus"}, {"--partial"}, {"--delay", "soon"}}) {
        SimProcess sim(args);
        ASSERT_TRUE(sim.started());
        EXPECT_TRUE(ExitedWith(sim.finish(0), 2)) << args[0];
        EXPECT_NE(sim.readAll(true, 0.2).find(args[0]), std::string::npos);
    }
    SimProcess help({"--help"});
    EXPECT_NE(help.readAll(false, 0.5).find("Usage"), std::string::npos);
    EXPECT_TRUE(ExitedWith(help.finish(0), 0));
    SimProcess version({"--version"});
    EXPECT_EQ(version.readAll(false, 0.5), "kervano-sim " KV_VERSION "\n");
    EXPECT_TRUE(ExitedWith(version.finish(0), 0));

    SimProcess missing({"--device", "/nonexistent/kv-sim-device"});
    EXPECT_TRUE(ExitedWith(missing.finish(0), 1));
}
