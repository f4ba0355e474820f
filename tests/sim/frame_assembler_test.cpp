// Frame alignment of the emulated controller, and its resistance to garbage.
#include <gtest/gtest.h>

#include <random>

#include "sim/controller_model.h"
#include "tests/support/frames.h"

TEST(FrameAssembler, CollectsFramesFromPiecesAndRuns) {
    sim::FrameAssembler assembler;
    const auto a = MakeFrame(5, {0, 1});
    const auto b = MakeFrame(7);
    EXPECT_TRUE(assembler.feed(a.data(), 10, 0.000).empty());
    EXPECT_EQ(assembler.buffered(), 10u);
    const auto done = assembler.feed(a.data() + 10, 26, 0.005);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0], a);
    EXPECT_EQ(assembler.buffered(), 0u);

    const auto two = Concat(Concat(b, a), {0x00});
    const auto pair = assembler.feed(two.data(), two.size(), 0.010);
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_EQ(pair[0], b);
    EXPECT_EQ(pair[1], a);
    EXPECT_EQ(assembler.buffered(), 1u);
}

TEST(FrameAssembler, PauseDropsGarbageAndPartialFrames) {
    sim::FrameAssembler assembler(0.02);
    const uint8_t garbage[] = {0xDE, 0xAD, 0x00, 0x55, 0x01};
    EXPECT_TRUE(assembler.feed(garbage, sizeof garbage, 1.000).empty());

    // Without a pause the garbage shifts the frame: no clean frame comes out.
    const auto frame = MakeFrame(8);
    auto shifted = assembler.feed(frame.data(), frame.size(), 1.010);
    ASSERT_EQ(shifted.size(), 1u);
    EXPECT_NE(shifted[0], frame);

    // After a pause the stream is aligned again.
    EXPECT_GT(assembler.buffered(), 0u);
    const auto clean = assembler.feed(frame.data(), frame.size(), 1.100);
    ASSERT_EQ(clean.size(), 1u);
    EXPECT_EQ(clean[0], frame);

    // A cut frame followed by a pause is forgotten too.
    assembler.feed(frame.data(), 20, 2.000);
    const auto after = assembler.feed(frame.data(), frame.size(), 2.050);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0], frame);

    // A pause short of the gap keeps the bytes.
    assembler.feed(frame.data(), 20, 3.000);
    const auto joined = assembler.feed(frame.data() + 20, 16, 3.015);
    ASSERT_EQ(joined.size(), 1u);
    EXPECT_EQ(joined[0], frame);
}

TEST(FrameAssembler, RandomBytesNeverCrashTheModel) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(1, 120);
    sim::Faults faults;
    faults.garbage = true;
    faults.partialBytes = 7;
    sim::ControllerModel plain;
    sim::ControllerModel faulty(faults);
    sim::FrameAssembler assembler;
    double now = 0.0;
    size_t frames = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> chunk(static_cast<size_t>(length(random)));
        for (auto& b : chunk) b = static_cast<uint8_t>(byte(random));
        // Valid sync and low order words now and then, so real orders get exercised.
        if (round % 3 == 0 && chunk.size() >= 4) {
            chunk[0] = 0x00;
            chunk[1] = 0x55;
            chunk[2] = 0x00;
            chunk[3] = static_cast<uint8_t>(byte(random) % 12);
        }
        now += (round % 5 == 0) ? 0.05 : 0.001;
        for (const auto& frame : assembler.feed(chunk.data(), chunk.size(), now)) {
            ASSERT_EQ(frame.size(), 36u);
            ++frames;
            const auto a = plain.handleFrame(frame.data(), now);
            EXPECT_TRUE(a.bytes.empty() || a.bytes.size() == 36 || a.bytes.size() == 64 ||
                        a.bytes.size() == 128);
            EXPECT_LE(faulty.handleFrame(frame.data(), now).bytes.size(), 12u);
        }
        ASSERT_LT(assembler.buffered(), 36u);
    }
    EXPECT_GT(frames, 1000u);
    // Whatever was written, each store slot still holds a packet of its own layout.
    EXPECT_EQ(plain.ram[0][0], 0);
    EXPECT_EQ(plain.ram[1][0], 1);
    for (int k = 4; k < 16; ++k) EXPECT_EQ(plain.ram[1][k], 0);
}
