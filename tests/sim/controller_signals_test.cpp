// The emulated controller's live signals: ranges, movement and curve shapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <set>

#include "sim/controller_model.h"

namespace {

// Sample times across a minute, not on round numbers.
std::vector<double> sampleTimes() {
    std::vector<double> times;
    for (int i = 0; i < 600; ++i) times.push_back(0.137 * i);
    return times;
}

}  // namespace

TEST(ControllerSignals, MonitorWordsStayInTheirRanges) {
    sim::ControllerModel model;
    std::set<int> inputStates;
    for (double t : sampleTimes()) {
        const auto w = model.monitorWords(t);
        ASSERT_EQ(w.size(), 16u);
        for (int c = 0; c < 4; ++c) {
            EXPECT_LE(w[c], 4095) << "raw " << c << " at " << t;
            EXPECT_LE(w[4 + c], 1000) << "norm " << c << " at " << t;
            EXPECT_LE(w[8 + c], 1000) << "max " << c << " at " << t;
            EXPECT_GE(w[8 + c], w[4 + c]) << "max below current value, channel " << c;
        }
        EXPECT_LE(w[14], 7);
        EXPECT_LE(w[15], 128);
        inputStates.insert(w[14]);
    }
    EXPECT_GE(inputStates.size(), 4u) << "the inputs hardly change";
}

TEST(ControllerSignals, SignalsMoveSmoothlyAndDifferPerChannel) {
    sim::ControllerModel model;
    int lowTop = 1000, highTop = 0;
    int bigSteps = 0;
    int channelsDiffer = 0;
    auto previous = model.monitorWords(0.0);
    for (int i = 1; i <= 400; ++i) {
        const auto w = model.monitorWords(i * 0.01);
        lowTop = std::min<int>(lowTop, w[4]);
        highTop = std::max<int>(highTop, w[4]);
        // At 10 ms apart a smooth wave with a little noise moves a few dozen counts at most.
        if (std::abs(w[4] - previous[4]) > 60 || std::abs(w[6] - previous[6]) > 60) ++bigSteps;
        if (w[4] != w[6] && w[4] != w[5]) ++channelsDiffer;
        previous = w;
    }
    EXPECT_GT(highTop - lowTop, 200) << "TOP hardly moves";
    EXPECT_EQ(bigSteps, 0);
    EXPECT_GT(channelsDiffer, 300);
}

TEST(ControllerSignals, CountersNeverRunBackwardsAndDoCount) {
    sim::ControllerModel model;
    auto first = model.monitorWords(0.0);
    auto previous = first;
    for (double t : sampleTimes()) {
        const auto w = model.monitorWords(t);
        EXPECT_GE(w[12], previous[12]);
        EXPECT_GE(w[13], previous[13]);
        previous = w;
    }
    EXPECT_GT(previous[12], first[12]);
    EXPECT_GT(previous[13], first[13]);
}

TEST(ControllerSignals, CurvesAreSmoothDistinctAndFollowTheReferences) {
    sim::ControllerModel model;
    const double now = 5.0;
    int differing = 0;
    for (int channel : {0, 1}) {
        int low = 1000, high = 0;
        for (int i = 0; i < 128; ++i) {
            const int v = model.curveWord(channel, i, now);
            EXPECT_LE(v, 1000);
            low = std::min(low, v);
            high = std::max(high, v);
            if (i > 0) {
                EXPECT_LT(std::abs(v - model.curveWord(channel, i - 1, now)), 100);
            }
        }
        EXPECT_GT(high - low, 300) << "channel " << channel << " is flat";
    }
    for (int i = 0; i < 128; ++i) {
        if (std::abs(model.curveWord(0, i, now) - model.curveWord(1, i, now)) > 50) ++differing;
    }
    EXPECT_GT(differing, 40) << "TOP and BOT curves look alike";

    // A lower TOP reference lowers the TOP curve's peak and leaves BOT alone.
    int peakBefore = 0, peakAfter = 0;
    const int botBefore = model.curveWord(1, 90, now);
    for (int i = 0; i < 128; ++i)
        peakBefore = std::max<int>(peakBefore, model.curveWord(0, i, now));
    model.ram[0][4] = 200;
    for (int i = 0; i < 128; ++i) peakAfter = std::max<int>(peakAfter, model.curveWord(0, i, now));
    EXPECT_LT(peakAfter, peakBefore - 150);
    EXPECT_EQ(model.curveWord(1, 90, now), botBefore);
}

TEST(ControllerSignals, OddArgumentsGiveSaneValues) {
    sim::ControllerModel model;
    EXPECT_EQ(model.curveWord(0, -1, 1.0), 0);
    EXPECT_EQ(model.curveWord(0, 128, 1.0), 0);
    EXPECT_EQ(model.curveWord(2, 10, 1.0), 0);
    EXPECT_EQ(model.curveWord(-1, 10, 1.0), 0);
    for (double t : {-5.0, 1e300, std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity()}) {
        const auto w = model.monitorWords(t);
        EXPECT_LE(w[4], 1000);
        EXPECT_LE(w[14], 7);
        EXPECT_LE(w[15], 128);
        EXPECT_LE(model.curveWord(1, 64, t), 1000);
    }
}
