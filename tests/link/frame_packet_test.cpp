// Frames and the parameter packet: byte layout, 16-bit words, the two layouts.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "link/frame.h"
#include "link/packet.h"
#include "params/param_set.h"
#include "tests/support/frames.h"

using namespace kervano;

namespace {
unsigned short* const kAllParams[] = {
    &powerTOP, &powerBOT, &powerDIG, &refTOP, &refBOT,  &tolTOP,   &tolBOT, &trigTOP, &trigBOT,
    &hystTOP,  &hystBOT,  &evalmode, &hwmode, &maxmode, &polarity, &digcnt, &digmode, &hold};

// Gives every parameter a distinct value: 100 + position.
void NumberParams() {
    int i = 0;
    for (unsigned short* p : kAllParams) *p = static_cast<unsigned short>(100 + i++);
}

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        kervano::sync = 85;
        std::memset(szWriteBuf, 0, sizeof szWriteBuf);
        std::memset(szReadBuf, 0, sizeof szReadBuf);
        std::memset(pp, 0, sizeof pp);
    }
};
}  // namespace

TEST_F(FrameTest, BuildsSyncOrderAndBigEndianPayload) {
    unsigned short values[PNUM];
    for (int k = 0; k < PNUM; ++k) values[k] = static_cast<unsigned short>(0x0102 * (k + 1));
    values[3] = 0xFFFF;
    values[4] = 0x8000;
    FillTxBuf(0x12345, values);  // above 0xFFFF: only the low 16 bits go out

    const std::vector<uint8_t> built(szWriteBuf, szWriteBuf + kFrameBytes);
    EXPECT_EQ(built, MakeFrame(0x2345, std::vector<uint16_t>(values, values + PNUM)));
    EXPECT_EQ(built[4 + 2 * 3], 0xFF);  // the test's own builder is not taken on trust
    EXPECT_EQ(built[4 + 2 * 4], 0x80);
    EXPECT_EQ(built[5 + 2 * 4], 0x00);
    EXPECT_EQ(szWriteBuf[36], 0) << "nothing beyond the 36 bytes";
}

TEST_F(FrameTest, UnpacksAnySyncWordAndKeepsBitPatterns) {
    // A wrong sync word is not looked at.
    const auto frame = MakeFrame(0xABCD, {0xFFFF, 0x8000}, 0xDEAD);
    std::memcpy(szReadBuf, frame.data(), frame.size());
    order = -1;

    EXPECT_EQ(GetRxBuf(PNUM), PNUM);
    EXPECT_EQ(order, 0xABCD) << "order word, upper half zero";
    EXPECT_EQ(pp[0], 0xFFFF);
    EXPECT_EQ(pp[1], 0x8000);
}

TEST_F(FrameTest, UnpackTakesAtMostTheSixteenWordsOfThePacket) {
    // Any count is safe: a write past pp would be caught by the address-sanitizer build,
    // which runs this suite; here the words that are unpacked must still be right.
    for (int count : {1000, PNUM + 1, -5}) {
        std::memset(pp, 0, sizeof pp);
        for (int i = 0; i < 200; ++i) szReadBuf[i] = static_cast<unsigned char>(i);
        EXPECT_EQ(GetRxBuf(count), count);
        EXPECT_EQ(order, 2 * 256 + 3);
        const int words = count < 0 ? 0 : PNUM;
        for (int k = 0; k < PNUM; ++k) {
            const int expected = k < words ? (4 + 2 * k) * 256 + 5 + 2 * k : 0;
            EXPECT_EQ(pp[k], expected) << count << " word " << k;
        }
    }
}

TEST_F(FrameTest, FullPacketCarriesFifteenParametersInOrder) {
    NumberParams();
    CopyVarsToPP(0);
    EXPECT_EQ(pp[0], 0);
    for (int k = 1; k <= 15; ++k) EXPECT_EQ(pp[k], 100 + k - 1) << "word " << k;
}

TEST_F(FrameTest, ShortPacketClearsTheTailAndCarriesItsFlag) {
    NumberParams();
    CopyVarsToPP(0);  // leaves a full packet behind
    CopyVarsToPP(7);  // any non-zero flag is the short layout, and word 0 carries it
    EXPECT_EQ(pp[0], 7);
    EXPECT_EQ(pp[1], digcnt);
    EXPECT_EQ(pp[2], digmode);
    EXPECT_EQ(pp[3], hold);
    for (int k = 4; k < PNUM; ++k) EXPECT_EQ(pp[k], 0) << "word " << k;
    CopyVarsToPP(0x10000);  // taken as 16 bits: the full layout
    EXPECT_EQ(pp[0], 0);
    EXPECT_EQ(pp[1], powerTOP);
}

TEST_F(FrameTest, ShortUnpackTouchesOnlyItsThreeParameters) {
    NumberParams();
    for (int k = 0; k < PNUM; ++k) pp[k] = static_cast<unsigned short>(9000 + k);
    pp[0] = 0;  // the caller's flag decides, not word 0
    CopyPPtoVars(1);
    EXPECT_EQ(digcnt, 9001);
    EXPECT_EQ(digmode, 9002);
    EXPECT_EQ(hold, 9003);
    int i = 0;
    for (unsigned short* p : kAllParams) {
        if (i < 15) {
            EXPECT_EQ(*p, 100 + i) << "parameter " << i;
        }
        ++i;
    }
}

TEST_F(FrameTest, FullUnpackLeavesShortParametersAlone) {
    NumberParams();
    for (int k = 0; k < PNUM; ++k) pp[k] = static_cast<unsigned short>(0xFFFF - k);
    pp[0] = 1;
    CopyPPtoVars(0);
    EXPECT_EQ(powerTOP, 0xFFFE);
    EXPECT_EQ(polarity, 0xFFF0);
    EXPECT_EQ(digcnt, 115);
    EXPECT_EQ(digmode, 116);
    EXPECT_EQ(hold, 117);
}

TEST_F(FrameTest, ParameterOf65535SurvivesPackFrameAndUnpack) {
    NumberParams();
    refBOT = 0xFFFF;
    CopyVarsToPP(0);
    FillTxBuf(2, pp);
    std::memcpy(szReadBuf, szWriteBuf, kFrameBytes);
    refBOT = 0;
    GetRxBuf(PNUM);
    CopyPPtoVars(0);
    EXPECT_EQ(refBOT, 0xFFFF);
}
