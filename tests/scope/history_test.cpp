// The monitor history utilities and the limit lines: pure array work.
#include <gtest/gtest.h>

#include <vector>

#include "params/param_set.h"
#include "scope/monitor.h"
#include "scope/reference_curves.h"

using namespace kervano;

namespace {
std::vector<double> Ramp(int n) {
    std::vector<double> v(n);
    for (int i = 0; i < n; ++i) v[i] = i + 1;
    return v;
}
}  // namespace

// Towards the front the tail is cleared, towards the end the head.
TEST(ShiftTest, InPlaceMovesTheValuesAndClearsThePlacesTheyLeft) {
    for (int by : {-2, 2}) {
        SCOPED_TRACE(by);
        auto v = Ramp(200);
        EXPECT_EQ(Shift(v.data(), 200, by, v.data()), 0);
        for (int i = 0; i < 200; ++i) {
            const int from = i - by;  // where v[i] was before
            ASSERT_EQ(v[i], from >= 0 && from < 200 ? from + 1 : 0.0) << i;
        }
    }
}

TEST(ShiftTest, RejectsCountsItCannotServe) {
    auto v = Ramp(200);
    const auto before = v;
    EXPECT_EQ(Shift(v.data(), 200, 200, v.data()), kShiftTooFar);
    EXPECT_EQ(Shift(v.data(), 200, -200, v.data()), kShiftTooFar);
    EXPECT_EQ(Shift(v.data(), 0, 1, v.data()), kShiftBadCount);
    EXPECT_EQ(v, before);
}

TEST(ShiftTest, ZeroShiftCopiesToAnotherArray) {
    auto in = Ramp(5);
    std::vector<double> out(5, -1.0);
    EXPECT_EQ(Shift(in.data(), 5, 0, out.data()), 0);
    EXPECT_EQ(out, in);
    EXPECT_EQ(Copy1D(in.data(), 0, out.data()), kShiftBadCount);
}

TEST(FillarrayRAWTest, WritesPairsIntoBothHistories) {
    FillarrayRAW(1, 2, 3, 4);
    for (int i = 0; i < kHistoryValues; i += 2) {
        ASSERT_EQ(arrayRAWTOP[i], 1.0);
        ASSERT_EQ(arrayRAWTOP[i + 1], 2.0);
        ASSERT_EQ(arrayRAWBOT[i], 3.0);
        ASSERT_EQ(arrayRAWBOT[i + 1], 4.0);
    }
}

class LimitTest : public ::testing::Test {
  protected:
    void SetUp() override { SetParameterDefaults(); }
};

TEST_F(LimitTest, DefaultsGiveMirroredLines) {
    ComputeLimits();
    FillTopLines();
    EXPECT_EQ(upArray[0], 550);
    EXPECT_EQ(loArray[127], 490);
    EXPECT_EQ(refArray[64], 500);
    FillBotLines();
    EXPECT_EQ(upArray[0], 450);
    EXPECT_EQ(loArray[0], 510);
    EXPECT_EQ(refArray[127], 500);
    EXPECT_EQ(upArray[128], 0) << "only 128 entries are lines";
}

TEST_F(LimitTest, LimitsAreCutAtTheScaleEnds) {
    refTOP = 980;
    tolTOP = 50;
    refBOT = 1500;
    tolBOT = 100;
    ComputeLimits();
    EXPECT_EQ(upTOP, 1000);
    EXPECT_EQ(upBOT, 1000);

    refTOP = 5;
    hystTOP = 10;
    refBOT = 0;
    hystBOT = 0;
    ComputeLimits();
    EXPECT_EQ(loTOP, 1);
    EXPECT_EQ(loBOT, 1);
    refTOP = 10;
    ComputeLimits();
    EXPECT_EQ(loTOP, 1);
}

TEST_F(LimitTest, BotHysteresisIsNotCutAtTheTop) {
    refBOT = 1000;
    hystBOT = 50;
    ComputeLimits();
    EXPECT_EQ(loBOT, 1050);
}

TEST_F(LimitTest, NegativeBotToleranceLineKeepsItsLow16Bits) {
    refBOT = 20;
    tolBOT = 70;
    ComputeLimits();
    EXPECT_EQ(upBOT, -50);
    FillBotLines();
    EXPECT_EQ(upArray[0], 65486);
}

TEST_F(LimitTest, LimitsUseTheFull16BitValues) {
    refTOP = 65535;
    tolTOP = 65535;
    hystTOP = 0;
    ComputeLimits();
    EXPECT_EQ(upTOP, 1000) << "no wrap-around before the cut";
    EXPECT_EQ(loTOP, 65535);
}
