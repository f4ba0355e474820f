// Strip charts: values split alternately over two traces, the latest screen kept.
#include <vector>

#include "tests/support/ui/ui_readback.h"
#include "tests/ui/ui_test_support.h"

namespace {

// 2 * pairs values: trace 1 gets base + i, trace 2 gets base + 10000 + i.
std::vector<double> Pairs(int pairs, int base) {
    std::vector<double> v;
    for (int i = 0; i < pairs; ++i) {
        v.push_back(base + i);
        v.push_back(base + 10000 + i);
    }
    return v;
}

std::vector<double> Range(double first, int count) {
    std::vector<double> v;
    for (int i = 0; i < count; ++i) v.push_back(first + i);
    return v;
}

}  // namespace

using StripCharts = PanelTest;

TEST_F(StripCharts, ValuesAlternateBetweenTheTwoTraces) {
    const std::vector<double> values = Pairs(5, 0);
    ASSERT_EQ(PlotStripChart(panel_, PANEL_STRIPTOP, values.data(), 10, 0, 0, VAL_DOUBLE), 0);
    EXPECT_EQ(StripChartTrace(panel_, PANEL_STRIPTOP, 1), Range(0, 5));
    EXPECT_EQ(StripChartTrace(panel_, PANEL_STRIPTOP, 2), Range(10000, 5));
    // The other chart is untouched.
    EXPECT_EQ(StripChartPointCount(panel_, PANEL_STRIPBOT, 1), 0);
}

TEST_F(StripCharts, EachTraceKeepsTheLatestScreenOfPoints) {
    int perScreen = 0;
    ASSERT_EQ(GetCtrlAttribute(panel_, PANEL_STRIPTOP, ATTR_POINTS_PER_SCREEN, &perScreen), 0);
    ASSERT_EQ(SetCtrlAttribute(panel_, PANEL_STRIPTOP, ATTR_POINTS_PER_SCREEN, 101), 0);
    // The program resends its whole 100-pair history on every redraw.
    for (int redraw = 0; redraw < 3; ++redraw) {
        const std::vector<double> history = Pairs(100, redraw * 100);
        PlotStripChart(panel_, PANEL_STRIPTOP, history.data(), 200, 0, 0, VAL_DOUBLE);
    }
    ASSERT_EQ(StripChartPointCount(panel_, PANEL_STRIPTOP, 1), 101);
    ASSERT_EQ(StripChartPointCount(panel_, PANEL_STRIPTOP, 2), 101);
    EXPECT_EQ(StripChartTrace(panel_, PANEL_STRIPTOP, 1), Range(199, 101));
    EXPECT_EQ(StripChartTrace(panel_, PANEL_STRIPTOP, 2), Range(10199, 101));
}

TEST_F(StripCharts, ShorterScreensDropTheOldestPoints) {
    const std::vector<double> values = Pairs(50, 0);
    PlotStripChart(panel_, PANEL_STRIPBOT, values.data(), 100, 0, 0, VAL_DOUBLE);
    ASSERT_EQ(SetCtrlAttribute(panel_, PANEL_STRIPBOT, ATTR_POINTS_PER_SCREEN, 20), 0);
    int perScreen = 0;
    GetCtrlAttribute(panel_, PANEL_STRIPBOT, ATTR_POINTS_PER_SCREEN, &perScreen);
    EXPECT_EQ(perScreen, 20);
    EXPECT_EQ(StripChartTrace(panel_, PANEL_STRIPBOT, 1), Range(30, 20));
}

TEST_F(StripCharts, SixteenBitDataStartAndSkipAreHonoured) {
    // Every third element from index 1: 1, 4, 7, 10 -> traces {1, 7} and {4, 10}.
    std::vector<unsigned short> raw;
    for (unsigned short i = 0; i < 12; ++i) raw.push_back(i);
    ASSERT_EQ(
        PlotStripChart(panel_, PANEL_STRIPTOP, raw.data(), 4, 1, 2, VAL_UNSIGNED_SHORT_INTEGER), 0);
    EXPECT_EQ(StripChartTrace(panel_, PANEL_STRIPTOP, 1), (std::vector<double>{1, 7}));
    EXPECT_EQ(StripChartTrace(panel_, PANEL_STRIPTOP, 2), (std::vector<double>{4, 10}));
}

TEST_F(StripCharts, TraceColoursAndCountAreSet) {
    ASSERT_EQ(SetTraceAttribute(panel_, PANEL_STRIPTOP, 1, ATTR_TRACE_COLOR, VAL_RED), 0);
    ASSERT_EQ(SetTraceAttribute(panel_, PANEL_STRIPTOP, 2, ATTR_TRACE_COLOR, VAL_BLUE), 0);
    EXPECT_EQ(TraceColor(panel_, PANEL_STRIPTOP, 1), VAL_RED);
    EXPECT_EQ(TraceColor(panel_, PANEL_STRIPTOP, 2), VAL_BLUE);
    EXPECT_EQ(SetTraceAttribute(panel_, PANEL_STRIPTOP, 3, ATTR_TRACE_COLOR, VAL_RED), kUiError);
    EXPECT_EQ(SetTraceAttribute(panel_, PANEL_STRIPTOP, 0, ATTR_TRACE_COLOR, VAL_RED), kUiError);

    int traces = 0;
    GetCtrlAttribute(panel_, PANEL_STRIPTOP, ATTR_NUM_TRACES, &traces);
    EXPECT_EQ(traces, 2);
    ASSERT_EQ(SetCtrlAttribute(panel_, PANEL_STRIPTOP, ATTR_NUM_TRACES, 3), 0);
    const std::vector<double> values = Range(0, 6);
    PlotStripChart(panel_, PANEL_STRIPTOP, values.data(), 6, 0, 0, VAL_DOUBLE);
    EXPECT_EQ(StripChartTrace(panel_, PANEL_STRIPTOP, 3), (std::vector<double>{2, 5}));
}

TEST_F(StripCharts, VerticalScaleFollowsTheDataShown) {
    const std::vector<double> raw(200, 4095.0);
    PlotStripChart(panel_, PANEL_STRIPTOP, raw.data(), 200, 0, 0, VAL_DOUBLE);
    const double rawTop = StripChartAxisMax(panel_, PANEL_STRIPTOP);
    EXPECT_GE(rawTop, 4095.0);
    EXPECT_LE(rawTop, 6000.0);
    // Normalised values (0..1000) after the raw ones scrolled out.
    std::vector<double> norm(202, 1000.0);
    PlotStripChart(panel_, PANEL_STRIPTOP, norm.data(), 202, 0, 0, VAL_DOUBLE);
    const double normTop = StripChartAxisMax(panel_, PANEL_STRIPTOP);
    EXPECT_GE(normTop, 1000.0);
    EXPECT_LE(normTop, 1500.0);
}

TEST_F(StripCharts, BadCallsAreRefused) {
    const double values[2] = {1, 2};
    EXPECT_EQ(PlotStripChart(panel_, PANEL_STRIPTOP, values, 2, 0, 0, 99), kUiError);
    EXPECT_EQ(PlotStripChart(panel_, PANEL_STRIPTOP, nullptr, 2, 0, 0, VAL_DOUBLE), kUiError);
    EXPECT_EQ(PlotStripChart(panel_, PANEL_STRIPTOP, values, -1, 0, 0, VAL_DOUBLE), kUiError);
    EXPECT_EQ(PlotStripChart(panel_, PANEL_REFTOP, values, 2, 0, 0, VAL_DOUBLE), kUiError);
    EXPECT_EQ(SetCtrlAttribute(panel_, PANEL_STRIPTOP, ATTR_POINTS_PER_SCREEN, 1), kUiError);
    EXPECT_EQ(StripChartPointCount(panel_, PANEL_STRIPTOP, 1), 0);
}
