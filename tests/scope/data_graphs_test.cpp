// The data graphs as the program draws them: curve, lines, fixed axes and the cursor.
#include "scope/data_graphs.h"

#include <gtest/gtest.h>

#include "console/startup.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "scope/monitor.h"
#include "scope/reference_curves.h"
#include "tests/support/app/panel_fixture.h"
#include "tests/support/ui/ui_readback.h"

using namespace kervano;

namespace {

constexpr int kPlotUp = 0, kPlotLo = 1, kPlotData = 2, kPlotRef = 3;

class DataGraphTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        for (int i = 0; i < kCurvePoints; ++i) {
            data[i] = static_cast<unsigned short>(i * 10);  // past 1000 at the end
            up[i] = 600;
            lo[i] = 400;
            ref[i] = 500;
        }
        upTOP = upBOT = 600;
        loTOP = loBOT = 400;
    }
    std::pair<double, double> Cursor(int graph) const {
        double x = -1, y = -1;
        GetGraphCursor(panelHandle, graph, 1, &x, &y);
        return {x, y};
    }
    unsigned short data[kCurvePoints], up[kCurvePoints], lo[kCurvePoints], ref[kCurvePoints];
};

}  // namespace

TEST_F(DataGraphTest, DrawsLinesAndCurveOnFixedAxesInPlaceOfTheStripChart) {
    PlotDATATop(data, up, lo, ref);
    EXPECT_FALSE(IsVisible(PANEL_STRIPTOP));
    EXPECT_TRUE(IsVisible(PANEL_GRAPHTOP));
    EXPECT_TRUE(IsVisible(PANEL_STRIPBOT)) << "the bottom pair is its twin's business";
    ASSERT_EQ(GraphPlotCount(panelHandle, PANEL_GRAPHTOP), 4);
    const auto curve = GraphPlotPoints(panelHandle, PANEL_GRAPHTOP, kPlotData);
    ASSERT_EQ(curve.size(), 128u);
    EXPECT_EQ(curve.front(), std::make_pair(1.0, 0.0));
    EXPECT_EQ(curve.back(), std::make_pair(128.0, 1270.0));
    EXPECT_EQ(GraphPlotPoints(panelHandle, PANEL_GRAPHTOP, kPlotUp)[0].second, 600.0);
    EXPECT_EQ(GraphPlotPoints(panelHandle, PANEL_GRAPHTOP, kPlotLo)[0].second, 400.0);
    EXPECT_EQ(GraphPlotPoints(panelHandle, PANEL_GRAPHTOP, kPlotRef)[0].second, 500.0);
    EXPECT_TRUE(GraphPlotLook(panelHandle, PANEL_GRAPHTOP, kPlotRef).dashed);
    EXPECT_TRUE(GraphPlotLook(panelHandle, PANEL_GRAPHTOP, kPlotData).pointsShown);
    double min = 0, max = 0;
    GraphAxisRange(panelHandle, PANEL_GRAPHTOP, VAL_LEFT_YAXIS, &min, &max);
    EXPECT_EQ(std::make_pair(min, max), std::make_pair(0.0, 1000.0)) << "no rescale for 1270";
    GraphAxisRange(panelHandle, PANEL_GRAPHTOP, VAL_XAXIS, &min, &max);
    EXPECT_EQ(std::make_pair(min, max), std::make_pair(1.0, 128.0));
}

TEST_F(DataGraphTest, BothCursorsSitOnTheSampleIndexANames) {
    // indexA, and the cursor's x and the sample under it.
    const struct {
        unsigned short index;
        double x;
        int sample;
    } cases[] = {{0, 1.0, 0}, {1, 1.0, 0}, {37, 37.0, 36}, {128, 128.0, 127}};
    for (const auto& c : cases) {
        indexA = c.index;
        PlotDATATop(data, up, lo, ref);
        PlotDATABot(data, up, lo, ref);
        for (int graph : {PANEL_GRAPHTOP, PANEL_GRAPHBOT}) {
            EXPECT_EQ(Cursor(graph), std::make_pair(c.x, double(data[c.sample]))) << c.index;
        }
    }
}

TEST_F(DataGraphTest, AMissingHalfIsNeitherDrawnNorPointedAt) {
    const int onlyFirst[2] = {1, 0};
    const int onlySecond[2] = {0, 1};
    const int none[2] = {0, 0};
    indexA = 100;  // in the second half
    PlotDATATop(data, up, lo, ref, onlyFirst);
    auto curve = GraphPlotPoints(panelHandle, PANEL_GRAPHTOP, kPlotData);
    ASSERT_EQ(curve.size(), 64u);
    EXPECT_EQ(curve.back().first, 64.0);
    EXPECT_FALSE(GraphCursorDrawn(panelHandle, PANEL_GRAPHTOP));

    PlotDATATop(data, up, lo, ref, onlySecond);
    curve = GraphPlotPoints(panelHandle, PANEL_GRAPHTOP, kPlotData);
    ASSERT_EQ(curve.size(), 64u);
    EXPECT_EQ(curve.front(), std::make_pair(65.0, 640.0));
    EXPECT_EQ(Cursor(PANEL_GRAPHTOP), std::make_pair(100.0, 990.0));

    PlotDATATop(data, up, lo, ref, none);
    EXPECT_EQ(GraphPlotCount(panelHandle, PANEL_GRAPHTOP), 3) << "the lines alone";
    EXPECT_FALSE(GraphCursorDrawn(panelHandle, PANEL_GRAPHTOP));
}
