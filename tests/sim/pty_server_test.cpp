// The emulator served on real pseudo-terminals, talked to as a client would.
#include "sim/pty_server.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <thread>

#include "tests/support/frames.h"
#include "tests/support/test_pty.h"

namespace {

void pause(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

}  // namespace

TEST(PtyServer, AnswersEveryKindOfOrderOnTheSlave) {
    sim::PtyServer server;
    const std::string path = server.startPty();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(server.slavePath(), path);
    RawTty client(path);
    ASSERT_TRUE(client.ok());

    const auto echo = client.transact(MakeFrame(5, {0, 42}), 36);
    ASSERT_EQ(echo.size(), 36u);  // exactly the reply: the line does not echo the request
    EXPECT_EQ(WordAt(echo, 1), 5);
    EXPECT_EQ(PayloadWord(echo, 0), 0x00AA);
    EXPECT_EQ(PayloadWord(echo, 1), 42);
    EXPECT_EQ(client.transact(MakeFrame(7), 64).size(), 64u);
    EXPECT_EQ(client.transact(MakeFrame(9, {192, 1}), 128).size(), 128u);
    EXPECT_TRUE(client.transact(MakeFrame(3, {1, 4, 5, 6}), 1, 0.1).empty());
    EXPECT_EQ(PayloadWord(client.transact(MakeFrame(4, {1}), 36), 1), 4);

    EXPECT_EQ(server.framesReceived(), 5);
    EXPECT_EQ(server.modelSnapshot().eeprom[1][3], 6);  // readable while serving
}

TEST(PtyServer, SurvivesClientsComingAndGoing) {
    sim::PtyServer server;
    const std::string path = server.startPty();
    ASSERT_FALSE(path.empty());
    for (int round = 0; round < 3; ++round) {
        RawTty client(path);
        ASSERT_TRUE(client.ok()) << "round " << round;
        EXPECT_EQ(client.transact(MakeFrame(5), 36).size(), 36u) << "round " << round;
    }
}

TEST(PtyServer, RegainsAlignmentAfterGarbageAndAPause) {
    sim::PtyServer server;
    const std::string path = server.startPty();
    ASSERT_FALSE(path.empty());
    RawTty client(path);
    ASSERT_TRUE(client.ok());

    const auto frame = MakeFrame(5);
    const auto shifted = Concat({0x12, 0x34, 0x56}, frame);
    EXPECT_TRUE(client.transact(shifted, 1, 0.1).empty());  // misaligned: no frame to answer

    const auto reply = client.transact(frame, 36);
    ASSERT_EQ(reply.size(), 36u);
    EXPECT_EQ(PayloadWord(reply, 0), 0x00AA);
}

TEST(PtyServer, DelayedRepliesDoNotStopReading) {
    sim::Faults faults;
    faults.extraDelay = 0.3;
    sim::PtyServer server(faults);
    const std::string path = server.startPty();
    ASSERT_FALSE(path.empty());
    RawTty client(path);
    ASSERT_TRUE(client.ok());

    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(client.send(MakeFrame(5)));
    pause(0.05);  // past the frame gap, so the two requests stay separate frames
    ASSERT_TRUE(client.send(MakeFrame(7)));
    const auto first = ReadFor(client.fd(), 36, 1.0, 0.0);
    const double firstAt = SecondsSince(start);
    const auto second = ReadFor(client.fd(), 64, 1.0, 0.0);
    const double secondAt = SecondsSince(start);

    EXPECT_EQ(first.size(), 36u);
    EXPECT_EQ(second.size(), 64u);
    EXPECT_GE(firstAt, 0.29);
    // Both delays ran side by side; one after the other would take 0.6 s or more.
    EXPECT_LT(secondAt, 0.55);
}

TEST(PtyServer, BaudRatePacesRequestsAndReplies) {
    sim::PtyServer server({}, 2400);  // 36 bytes take 0.15 s at 2400 baud
    const std::string path = server.startPty();
    ASSERT_FALSE(path.empty());
    RawTty client(path);
    ASSERT_TRUE(client.ok());

    // The request's 36 bytes cross the line before the controller can answer.
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(client.transact(MakeFrame(5), 36, 1.0).size(), 36u);
    EXPECT_GE(SecondsSince(start), 0.295);
    EXPECT_LT(SecondsSince(start), 0.4);

    // Two requests at once: the second arrives 0.15 s after the first, and its reply
    // follows the first reply on the line.
    const auto both = Concat(MakeFrame(5), MakeFrame(2, {1}));
    start = std::chrono::steady_clock::now();
    ASSERT_TRUE(client.send(both));
    const auto replies = ReadFor(client.fd(), 72, 1.5, 0.0);
    EXPECT_EQ(replies.size(), 72u);
    EXPECT_GE(SecondsSince(start), 0.445);
}

TEST(PtyServer, HangUpClosesTheLine) {
    sim::Faults faults;
    faults.hangupAfter = 1;
    sim::PtyServer server(faults);
    const std::string path = server.startPty();
    ASSERT_FALSE(path.empty());
    RawTty client(path);
    ASSERT_TRUE(client.ok());

    EXPECT_EQ(client.transact(MakeFrame(5), 36).size(), 36u);
    bool hungUp = false;
    (void)client.send(MakeFrame(5));  // may fail already: the line is dead
    const auto after = ReadFor(client.fd(), 1, 1.0, 0.0, &hungUp);
    EXPECT_TRUE(after.empty());
    EXPECT_TRUE(hungUp);
    RawTty late(path);
    EXPECT_FALSE(late.ok());
}

TEST(PtyServer, StopIsPromptAndEndsTheLine) {
    sim::PtyServer server;
    const std::string path = server.startPty();
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(server.startPty().empty()) << "a second start while serving";
    RawTty client(path);
    ASSERT_TRUE(client.ok());
    EXPECT_EQ(client.transact(MakeFrame(5), 36).size(), 36u);

    const auto start = std::chrono::steady_clock::now();
    server.stop();
    EXPECT_LT(SecondsSince(start), 0.2);
    bool hungUp = false;
    ReadFor(client.fd(), 1, 0.5, 0.0, &hungUp);
    EXPECT_TRUE(hungUp);
    server.stop();  // twice is harmless
}

TEST(PtyServer, ServesOnAnExistingTty) {
    TestPty line;
    ASSERT_TRUE(line.ok());
    sim::PtyServer server;
    ASSERT_TRUE(server.startDevice(line.slavePath()));
    EXPECT_EQ(server.slavePath(), line.slavePath());

    ASSERT_TRUE(line.send(MakeFrame(2, {1})));
    const auto reply = line.receive(36, 1.0, 0.05);
    ASSERT_EQ(reply.size(), 36u);
    EXPECT_EQ(PayloadWord(reply, 0), 1);
    EXPECT_EQ(PayloadWord(reply, 3), 100);
}

TEST(PtyServer, RefusesWhatIsNoTty) {
    char name[] = "/tmp/kv-sim-not-a-tty-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    sim::PtyServer server;
    EXPECT_FALSE(server.startDevice(name));
    EXPECT_FALSE(server.startDevice("/nonexistent/kv-sim-device"));
    EXPECT_FALSE(server.startDevice(""));
    ::close(fd);
    ::unlink(name);
}

TEST(PtyServer, TheReplyHookReshapesRepliesAndCanHangTheModelUp) {
    sim::PtyServer server;
    std::vector<int> seen;  // on the serving thread, read once it has stopped serving
    server.setReplyHook(
        [&seen](int order, const uint8_t*, sim::Reply& reply, sim::ControllerModel& model) {
            seen.push_back(order);
            if (order == 5) reply.bytes = Concat(reply.bytes, reply.bytes);
            if (order == 7) {
                reply.bytes.clear();
                model.hangUp();
            }
        });
    const std::string path = server.startPty();
    ASSERT_FALSE(path.empty());
    RawTty client(path);
    ASSERT_TRUE(client.ok());

    const auto twice = client.transact(MakeFrame(5), 72);
    EXPECT_EQ(twice, Concat(MakeFrame(5, {0x00AA}), MakeFrame(5, {0x00AA})));
    EXPECT_FALSE(server.lineClosed());
    bool hungUp = false;
    ASSERT_TRUE(client.send(MakeFrame(7)));
    EXPECT_TRUE(ReadFor(client.fd(), 1, 1.0, 0.0, &hungUp).empty()) << "no firmware block";
    EXPECT_TRUE(hungUp);
    EXPECT_TRUE(server.lineClosed());
    EXPECT_EQ(server.repliesOwed(), 0);
    server.stop();
    EXPECT_EQ(seen, (std::vector<int>{5, 7}));
}

TEST(PtyServer, ABytesGapSendsTheReplyByteByByte) {
    sim::PtyServer server;
    server.setReplyHook([](int, const uint8_t*, sim::Reply& reply, sim::ControllerModel&) {
        reply.byteGap = 0.02;
    });
    const std::string path = server.startPty();
    ASSERT_FALSE(path.empty());
    RawTty client(path);
    ASSERT_TRUE(client.ok());

    ASSERT_TRUE(client.send(MakeFrame(2, {1})));
    const auto first = ReadFor(client.fd(), 1, 1.0, 0.0);
    ASSERT_FALSE(first.empty());
    EXPECT_LT(first.size(), 36u) << "all at once";
    EXPECT_EQ(server.repliesOwed(), 1) << "the rest is still to go";
    const auto rest = ReadFor(client.fd(), 36 - first.size(), 2.0);
    EXPECT_EQ(Concat(first, rest), MakeFrame(2, {1, 0, 0, 100}));
    EXPECT_EQ(server.repliesOwed(), 0);
}

TEST(PtyServer, AReplyLargerThanTheLineGoesWholeToAReaderThatPauses) {
    constexpr size_t kExtra = 192 * 1024;
    sim::PtyServer server;
    server.setReplyHook([](int, const uint8_t*, sim::Reply& reply, sim::ControllerModel&) {
        reply.bytes.resize(reply.bytes.size() + kExtra, 0x5A);
    });
    const std::string path = server.startPty();
    ASSERT_FALSE(path.empty());
    RawTty client(path);
    ASSERT_TRUE(client.ok());

    ASSERT_TRUE(client.send(MakeFrame(5)));
    // Pauses that add up to more than the writer's patience, each shorter than it.
    const size_t whole = 36 + kExtra;
    std::vector<uint8_t> got;
    for (int part = 0; part < 3; ++part) {
        if (part > 0) pause(0.3);
        const size_t want = part < 2 ? kExtra / 3 : whole - got.size();
        got = Concat(got, ReadFor(client.fd(), want, 2.0, 0.0));
    }
    EXPECT_EQ(got.size(), whole);
    EXPECT_EQ(server.repliesOwed(), 0);
}
