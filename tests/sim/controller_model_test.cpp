// The emulated controller's answers to every order, its stores and its faults.
#include "sim/controller_model.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/frames.h"

namespace {

sim::Reply ask(sim::ControllerModel& model, const std::vector<uint8_t>& frame, double now = 1.0) {
    return model.handleFrame(frame.data(), now);
}

void expectFrameHeader(const std::vector<uint8_t>& bytes, int order) {
    ASSERT_EQ(bytes.size(), 36u);
    EXPECT_EQ(WordAt(bytes, 0), 0x0055);
    EXPECT_EQ(WordAt(bytes, 1), order);
}

const uint16_t kFullDefaults[16] = {0,   500, 500, 500, 500, 500, 50, 50,
                                    950, 950, 10,  10,  0,   1,   0,  1};

}  // namespace

TEST(ControllerModel, StartsWithDefaultsInBothStores) {
    sim::ControllerModel model;
    for (const auto* store : {&model.ram, &model.eeprom}) {
        for (int k = 0; k < 16; ++k) EXPECT_EQ((*store)[0][k], kFullDefaults[k]) << "word " << k;
        EXPECT_EQ((*store)[1][0], 1);
        EXPECT_EQ((*store)[1][1], 0);    // digcnt
        EXPECT_EQ((*store)[1][2], 0);    // digmode
        EXPECT_EQ((*store)[1][3], 100);  // hold
        for (int k = 4; k < 16; ++k) EXPECT_EQ((*store)[1][k], 0);
    }
    EXPECT_EQ(model.refTop(), 500);
    EXPECT_EQ(model.refBot(), 500);
}

TEST(ControllerModel, ReadsBackEachLayoutFromRamAndEeprom) {
    sim::ControllerModel model;
    for (int order : {2, 4}) {
        const auto full = ask(model, MakeFrame(order, {0})).bytes;
        expectFrameHeader(full, order);
        for (int k = 0; k < 16; ++k) EXPECT_EQ(PayloadWord(full, k), kFullDefaults[k]);

        // Any non-zero word 0 asks for the short packet, which always says 1.
        for (uint16_t selector : {1, 7, 0xFFFF}) {
            const auto shortPacket = ask(model, MakeFrame(order, {selector})).bytes;
            expectFrameHeader(shortPacket, order);
            EXPECT_EQ(PayloadWord(shortPacket, 0), 1);
            EXPECT_EQ(PayloadWord(shortPacket, 3), 100);
        }
    }
}

TEST(ControllerModel, WriteRamStoresTheLayoutOfWordZeroOnly) {
    sim::ControllerModel model;
    EXPECT_TRUE(
        ask(model, MakeFrame(1, {0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}))
            .bytes.empty());
    EXPECT_TRUE(ask(model, MakeFrame(1, {1, 7, 2, 300, 99, 99})).bytes.empty());

    const auto full = ask(model, MakeFrame(2, {0})).bytes;
    for (int k = 1; k < 16; ++k) EXPECT_EQ(PayloadWord(full, k), 10 + k);
    const auto shortPacket = ask(model, MakeFrame(2, {1})).bytes;
    EXPECT_EQ(PayloadWord(shortPacket, 1), 7);
    EXPECT_EQ(PayloadWord(shortPacket, 2), 2);
    EXPECT_EQ(PayloadWord(shortPacket, 3), 300);
    EXPECT_EQ(PayloadWord(shortPacket, 4), 0);  // only three values travel in the short packet

    // RAM writes leave the EEPROM alone.
    EXPECT_EQ(PayloadWord(ask(model, MakeFrame(4, {0})).bytes, 1), 500);
    EXPECT_EQ(PayloadWord(ask(model, MakeFrame(4, {1})).bytes, 3), 100);
}

TEST(ControllerModel, WriteEepromStoresBothAndResetCopiesEepromIntoRam) {
    sim::ControllerModel model;
    EXPECT_TRUE(ask(model, MakeFrame(3, {0, 600, 601, 602, 610, 620})).bytes.empty());
    EXPECT_EQ(model.eeprom[0][4], 610);
    EXPECT_EQ(model.ram[0][4], 610);
    EXPECT_EQ(PayloadWord(ask(model, MakeFrame(4, {0})).bytes, 1), 600);

    ask(model, MakeFrame(1, {0, 1, 2, 3, 4, 5}));  // RAM diverges
    ask(model, MakeFrame(1, {1, 9, 9, 9}));
    EXPECT_EQ(model.refTop(), 4);

    const auto ack = ask(model, MakeFrame(10)).bytes;
    expectFrameHeader(ack, 10);
    EXPECT_EQ(model.refTop(), 610);
    EXPECT_EQ(model.refBot(), 620);
    EXPECT_EQ(model.ram[1][3], 100);
    EXPECT_EQ(PayloadWord(ack, 4), 610);
}

TEST(ControllerModel, EchoCarriesTheMarkerAndTheRequestWords) {
    sim::ControllerModel model;
    const auto echo = ask(model, MakeFrame(5, {0, 1, 2, 3})).bytes;
    expectFrameHeader(echo, 5);
    EXPECT_EQ(PayloadWord(echo, 0), 0x00AA);
    EXPECT_EQ(PayloadWord(echo, 1), 1);
    EXPECT_EQ(PayloadWord(echo, 3), 3);
}

TEST(ControllerModel, TeachTakesTheReferencesFromTheLiveValues) {
    sim::ControllerModel model;
    const double now = 3.21;
    const auto live = model.monitorWords(now);
    const auto ack = ask(model, MakeFrame(6), now).bytes;
    expectFrameHeader(ack, 6);
    EXPECT_EQ(model.refTop(), live[4]);
    EXPECT_EQ(model.refBot(), live[6]);
    EXPECT_EQ(PayloadWord(ack, 0), 0);
    EXPECT_EQ(PayloadWord(ack, 4), live[4]);
    EXPECT_EQ(PayloadWord(ack, 5), live[6]);
    EXPECT_EQ(PayloadWord(ack, 15), 1);  // the rest of the packet is the RAM packet
    EXPECT_EQ(model.eeprom[0][4], 500);  // teach does not touch the EEPROM
}

TEST(ControllerModel, FirmwareBlockCarriesOneCharacterPerLowByte) {
    sim::ControllerModel model;
    model.firmwareText = "SIM 2.07";
    const auto block = ask(model, MakeFrame(7)).bytes;
    ASSERT_EQ(block.size(), 64u);
    std::string text;
    for (size_t i = 0; i < 32 && WordAt(block, i) != 0; ++i) {
        EXPECT_EQ(block[2 * i], 0) << "high byte of word " << i;
        text += static_cast<char>(block[2 * i + 1]);
    }
    EXPECT_EQ(text, "SIM 2.07");
    for (size_t i = text.size(); i < 32; ++i) EXPECT_EQ(WordAt(block, i), 0);

    // A text too long for the block keeps its terminator.
    model.firmwareText = std::string(80, 'x');
    const auto longBlock = ask(model, MakeFrame(7)).bytes;
    ASSERT_EQ(longBlock.size(), 64u);
    EXPECT_EQ(WordAt(longBlock, 30), 'x');
    EXPECT_EQ(WordAt(longBlock, 31), 0);
}

TEST(ControllerModel, MonitorFrameCarriesTheLiveWords) {
    sim::ControllerModel model;
    const auto frame = ask(model, MakeFrame(8, {1, 0, 0, 100}), 4.5).bytes;
    expectFrameHeader(frame, 8);
    const auto live = model.monitorWords(4.5);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(PayloadWord(frame, k), live[k]) << "word " << k;
}

TEST(ControllerModel, DataBlocksRouteByStartIndex) {
    sim::ControllerModel model;
    const double now = 2.0;
    for (int start : {0, 64, 128, 192}) {
        const auto block = ask(model, MakeFrame(9, {static_cast<uint16_t>(start), 1}), now).bytes;
        ASSERT_EQ(block.size(), 128u) << "start " << start;
        const int channel = start / 128;
        for (int k = 0; k < 64; ++k)
            EXPECT_EQ(WordAt(block, k), model.curveWord(channel, start % 128 + k, now));
    }
    for (uint16_t odd : {1, 32, 256, 0xFFFF}) {
        const auto block = ask(model, MakeFrame(9, {odd, 1}), now).bytes;
        ASSERT_EQ(block.size(), 128u) << "start " << odd;
        for (int k = 0; k < 64; ++k) EXPECT_EQ(WordAt(block, k), 0);
    }
}

TEST(ControllerModel, UnknownOrdersAndBadSyncGetNoReply) {
    sim::ControllerModel model;
    for (int order : {0, 11, 12, 0x0100, 0xFFFF})
        EXPECT_TRUE(ask(model, MakeFrame(order)).bytes.empty());
    auto frame = MakeFrame(5);
    frame[1] = 0x54;
    EXPECT_TRUE(ask(model, frame).bytes.empty());
    EXPECT_TRUE(model.handleFrame(nullptr, 0.0).bytes.empty());
}

TEST(ControllerModelFaults, SilentAnswersNothing) {
    sim::Faults faults;
    faults.silent = true;
    sim::ControllerModel model(faults);
    for (int order = 1; order <= 10; ++order)
        EXPECT_TRUE(ask(model, MakeFrame(order)).bytes.empty());
}

TEST(ControllerModelFaults, WrongEchoWordAndExtraDelay) {
    sim::Faults faults;
    faults.echoWord = 0x1234;
    faults.extraDelay = 0.75;
    sim::ControllerModel model(faults);
    const auto reply = ask(model, MakeFrame(5));
    EXPECT_EQ(PayloadWord(reply.bytes, 0), 0x1234);
    EXPECT_DOUBLE_EQ(reply.delay, 0.75);
    EXPECT_DOUBLE_EQ(sim::ControllerModel().handleFrame(MakeFrame(5).data(), 0).delay, 0.0);
}

TEST(ControllerModelFaults, IgnoredOrdersAndBlockStarts) {
    sim::Faults faults;
    faults.ignoredOrders = {7};
    faults.ignoredBlockStarts = {128};
    sim::ControllerModel model(faults);
    EXPECT_TRUE(ask(model, MakeFrame(7)).bytes.empty());
    EXPECT_EQ(ask(model, MakeFrame(5)).bytes.size(), 36u);
    EXPECT_TRUE(ask(model, MakeFrame(9, {128, 1})).bytes.empty());
    EXPECT_EQ(ask(model, MakeFrame(9, {0, 1})).bytes.size(), 128u);
    EXPECT_EQ(ask(model, MakeFrame(9, {192, 1})).bytes.size(), 128u);
}

TEST(ControllerModelFaults, GarbagePrefixIsNoFrameAndPartialCutsTheReply) {
    sim::Faults faults;
    faults.garbage = true;
    sim::ControllerModel garbled(faults);
    const auto reply = ask(garbled, MakeFrame(5)).bytes;
    ASSERT_GT(reply.size(), 36u);
    const size_t prefix = reply.size() - 36;
    EXPECT_FALSE(reply[0] == 0x00 && reply[1] == 0x55);
    EXPECT_EQ(reply[prefix], 0x00);
    EXPECT_EQ(reply[prefix + 1], 0x55);
    EXPECT_EQ(reply[prefix + 3], 0x05);

    sim::Faults cut;
    cut.partialBytes = 20;
    sim::ControllerModel partial(cut);
    EXPECT_EQ(ask(partial, MakeFrame(5)).bytes.size(), 20u);
    EXPECT_EQ(ask(partial, MakeFrame(9, {0, 1})).bytes.size(), 20u);
    EXPECT_TRUE(ask(partial, MakeFrame(1)).bytes.empty());  // no reply stays no reply
}

TEST(ControllerModelFaults, HangsUpAfterTheGivenFrames) {
    sim::Faults faults;
    faults.hangupAfter = 2;
    sim::ControllerModel model(faults);
    EXPECT_FALSE(model.hungUp());
    EXPECT_EQ(ask(model, MakeFrame(5)).bytes.size(), 36u);
    ask(model, MakeFrame(1, {1, 5, 5, 5}));
    EXPECT_TRUE(model.hungUp());
    EXPECT_TRUE(ask(model, MakeFrame(5)).bytes.empty());
    ask(model, MakeFrame(1, {1, 6, 6, 6}));
    EXPECT_EQ(model.ram[1][1], 5);  // a hung-up controller takes nothing in
    EXPECT_EQ(model.framesAnswered(), 2);
}

TEST(ControllerModelFaults, HangsUpWhenToldTo) {
    sim::ControllerModel model;
    EXPECT_EQ(ask(model, MakeFrame(5)).bytes.size(), 36u);
    model.hangUp();
    EXPECT_TRUE(model.hungUp());
    EXPECT_TRUE(ask(model, MakeFrame(5)).bytes.empty());
    EXPECT_EQ(model.framesAnswered(), 1);
}

TEST(ControllerModelFaults, CorruptWordKeepsItsValueWhateverIsWritten) {
    sim::Faults faults;
    faults.corruptWords[4] = 123;
    sim::ControllerModel model(faults);
    EXPECT_EQ(PayloadWord(ask(model, MakeFrame(2, {0})).bytes, 4), 123);
    for (int order : {1, 3}) {
        ask(model, MakeFrame(order, {0, 11, 12, 13, 600, 15}));
        const auto full = ask(model, MakeFrame(order + 1, {0})).bytes;  // read it back
        EXPECT_EQ(PayloadWord(full, 4), 123) << order;
        EXPECT_EQ(PayloadWord(full, 5), 15) << order;  // the other words are stored as sent
    }
}
