// Graphs: plots with their looks, deletion, fixed axes and the cursor.
#include <QCoreApplication>
#include <vector>

#include "tests/support/ui/ui_readback.h"
#include "tests/ui/ui_test_support.h"

namespace {

constexpr int kPoints = 128;

struct Curves {
    unsigned short x[kPoints], up[kPoints], lo[kPoints], data[kPoints], ref[kPoints];
    Curves() {
        for (int i = 0; i < kPoints; ++i) {
            x[i] = static_cast<unsigned short>(i + 1);
            up[i] = 600;
            lo[i] = 400;
            ref[i] = 500;
            data[i] = static_cast<unsigned short>(i * 10);  // runs past 1000 at the end
        }
    }
};

int Plot(int panel, int graph, const unsigned short* x, const unsigned short* y, int style,
         int line, int color) {
    return PlotXY(panel, graph, x, y, kPoints, VAL_UNSIGNED_SHORT_INTEGER,
                  VAL_UNSIGNED_SHORT_INTEGER, style, style == VAL_THIN_LINE ? VAL_NO_POINT : 3,
                  line, 1, color);
}

}  // namespace

class DataGraphs : public PanelTest {
  protected:
    void SetUp() override {
        PanelTest::SetUp();
        SetCtrlAttribute(panel_, PANEL_STRIPTOP, ATTR_VISIBLE, 0);
        SetCtrlAttribute(panel_, PANEL_GRAPHTOP, ATTR_VISIBLE, 1);
        QCoreApplication::processEvents();
    }

    // Four plots of every look a graph draws: two plain lines, a pointed curve, a dashed
    // line on top (what the program itself draws is tested with the program).
    void drawAll() {
        SetAxisScalingMode(panel_, PANEL_GRAPHTOP, VAL_XAXIS, VAL_MANUAL, 1, 128);
        SetAxisScalingMode(panel_, PANEL_GRAPHTOP, VAL_LEFT_YAXIS, VAL_MANUAL, 0, 1000);
        handles_.push_back(
            Plot(panel_, PANEL_GRAPHTOP, c_.x, c_.up, VAL_THIN_LINE, VAL_SOLID, VAL_BLACK));
        handles_.push_back(
            Plot(panel_, PANEL_GRAPHTOP, c_.x, c_.lo, VAL_THIN_LINE, VAL_SOLID, VAL_BLACK));
        handles_.push_back(
            Plot(panel_, PANEL_GRAPHTOP, c_.x, c_.data, VAL_CONNECTED_POINTS, VAL_SOLID, VAL_RED));
        handles_.push_back(
            Plot(panel_, PANEL_GRAPHTOP, c_.x, c_.ref, VAL_THIN_LINE, VAL_DASH, VAL_BLACK));
    }

    Curves c_;
    std::vector<int> handles_;
};

TEST_F(DataGraphs, PlotsKeepTheirPointsAndDrawingOrder) {
    drawAll();
    ASSERT_EQ(GraphPlotCount(panel_, PANEL_GRAPHTOP), 4);
    for (size_t i = 0; i < handles_.size(); ++i) {
        EXPECT_GT(handles_[i], 0);
        if (i > 0) {
            EXPECT_NE(handles_[i], handles_[i - 1]);
        }
    }
    const auto data = GraphPlotPoints(panel_, PANEL_GRAPHTOP, 2);
    ASSERT_EQ(data.size(), static_cast<size_t>(kPoints));
    EXPECT_EQ(data[0], std::make_pair(1.0, 0.0));
    EXPECT_EQ(data[127], std::make_pair(128.0, 1270.0));
    EXPECT_EQ(GraphPlotPoints(panel_, PANEL_GRAPHTOP, 3)[5].second, 500.0);
    EXPECT_EQ(GraphPlotCount(panel_, PANEL_GRAPHBOT), 0);
}

TEST_F(DataGraphs, PlotStylesGiveThinSolidDashedAndPointedLines) {
    drawAll();
    const GraphPlotStyle limit{VAL_BLACK, false, false};
    EXPECT_EQ(GraphPlotLook(panel_, PANEL_GRAPHTOP, 0), limit);
    EXPECT_EQ(GraphPlotLook(panel_, PANEL_GRAPHTOP, 1), limit);
    EXPECT_EQ(GraphPlotLook(panel_, PANEL_GRAPHTOP, 2), (GraphPlotStyle{VAL_RED, false, true}));
    EXPECT_EQ(GraphPlotLook(panel_, PANEL_GRAPHTOP, 3), (GraphPlotStyle{VAL_BLACK, true, false}));
}

TEST_F(DataGraphs, FixedAxesStayFixedWhateverIsPlotted) {
    drawAll();  // the data curve reaches 1270
    double min = 0, max = 0;
    ASSERT_EQ(GraphAxisRange(panel_, PANEL_GRAPHTOP, VAL_LEFT_YAXIS, &min, &max), 0);
    EXPECT_EQ(min, 0.0);
    EXPECT_EQ(max, 1000.0);
    ASSERT_EQ(GraphAxisRange(panel_, PANEL_GRAPHTOP, VAL_XAXIS, &min, &max), 0);
    EXPECT_EQ(min, 1.0);
    EXPECT_EQ(max, 128.0);
    EXPECT_EQ(SetAxisScalingMode(panel_, PANEL_GRAPHTOP, VAL_XAXIS, VAL_MANUAL, 5, 5), kUiError);
    EXPECT_EQ(SetAxisScalingMode(panel_, PANEL_GRAPHTOP, 7, VAL_MANUAL, 0, 1), kUiError);
}

TEST_F(DataGraphs, AutomaticAxesTakeInTheData) {
    ASSERT_EQ(SetAxisScalingMode(panel_, PANEL_GRAPHBOT, VAL_LEFT_YAXIS, VAL_AUTOSCALE, 0, 0), 0);
    Plot(panel_, PANEL_GRAPHBOT, c_.x, c_.data, VAL_THIN_LINE, VAL_SOLID, VAL_RED);
    double min = 0, max = 0;
    GraphAxisRange(panel_, PANEL_GRAPHBOT, VAL_LEFT_YAXIS, &min, &max);
    EXPECT_LE(min, 0.0);
    EXPECT_GE(max, 1270.0);
}

TEST_F(DataGraphs, DeletingAllPlotsEmptiesTheGraph) {
    drawAll();
    ASSERT_EQ(DeleteGraphPlot(panel_, PANEL_GRAPHTOP, VAL_ALL_PLOTS, VAL_IMMEDIATE_DRAW), 0);
    EXPECT_EQ(GraphPlotCount(panel_, PANEL_GRAPHTOP), 0);
    EXPECT_TRUE(GraphPlotPoints(panel_, PANEL_GRAPHTOP, 0).empty());
    // Redrawing after a delete starts from scratch, as on every capture.
    drawAll();
    EXPECT_EQ(GraphPlotCount(panel_, PANEL_GRAPHTOP), 4);
}

TEST_F(DataGraphs, DeletingOnePlotKeepsTheOthersInOrder) {
    drawAll();
    ASSERT_EQ(DeleteGraphPlot(panel_, PANEL_GRAPHTOP, handles_[1], VAL_IMMEDIATE_DRAW), 0);
    ASSERT_EQ(GraphPlotCount(panel_, PANEL_GRAPHTOP), 3);
    EXPECT_TRUE(GraphPlotLook(panel_, PANEL_GRAPHTOP, 1).pointsShown);
    EXPECT_EQ(DeleteGraphPlot(panel_, PANEL_GRAPHTOP, handles_[1], VAL_IMMEDIATE_DRAW), kUiError);
}

TEST_F(DataGraphs, DoubleDataIsAccepted) {
    const double x[3] = {1, 2, 3};
    const double y[3] = {0.5, 250.25, 999.0};
    const int plot = PlotXY(panel_, PANEL_GRAPHTOP, x, y, 3, VAL_DOUBLE, VAL_DOUBLE, VAL_THIN_LINE,
                            VAL_NO_POINT, VAL_SOLID, 1, VAL_BLUE);
    EXPECT_GT(plot, 0);
    EXPECT_EQ(GraphPlotPoints(panel_, PANEL_GRAPHTOP, 0)[1], std::make_pair(2.0, 250.25));
    EXPECT_EQ(PlotXY(panel_, PANEL_GRAPHTOP, x, y, 3, VAL_DOUBLE, 42, 0, 0, 0, 1, 0), kUiError);
    EXPECT_EQ(PlotXY(panel_, PANEL_GRAPHTOP, nullptr, y, 3, VAL_DOUBLE, VAL_DOUBLE, 0, 0, 0, 1, 0),
              kUiError);
}

TEST_F(DataGraphs, CursorIsDrawnOnlyWhenTheGraphHasOne) {
    drawAll();
    ASSERT_EQ(SetCursorAttribute(panel_, PANEL_GRAPHTOP, 1, ATTR_CURSOR_MODE, VAL_SNAP_TO_POINT),
              0);
    ASSERT_EQ(SetGraphCursor(panel_, PANEL_GRAPHTOP, 1, 40, 390), 0);
    double x = 0, y = 0;
    ASSERT_EQ(GetGraphCursor(panel_, PANEL_GRAPHTOP, 1, &x, &y), 0);
    EXPECT_EQ(x, 40.0);
    EXPECT_EQ(y, 390.0);
    EXPECT_FALSE(GraphCursorDrawn(panel_, PANEL_GRAPHTOP));

    ASSERT_EQ(SetCtrlAttribute(panel_, PANEL_GRAPHTOP, ATTR_NUM_CURSORS, 1), 0);
    int cursors = 0;
    GetCtrlAttribute(panel_, PANEL_GRAPHTOP, ATTR_NUM_CURSORS, &cursors);
    EXPECT_EQ(cursors, 1);
    EXPECT_TRUE(GraphCursorDrawn(panel_, PANEL_GRAPHTOP));

    // Outside the fixed range there is nothing to draw.
    SetGraphCursor(panel_, PANEL_GRAPHTOP, 1, 120, 1200);
    EXPECT_FALSE(GraphCursorDrawn(panel_, PANEL_GRAPHTOP));
    SetGraphCursor(panel_, PANEL_GRAPHTOP, 1, 64, 640);
    EXPECT_TRUE(GraphCursorDrawn(panel_, PANEL_GRAPHTOP));

    SetCtrlAttribute(panel_, PANEL_GRAPHTOP, ATTR_NUM_CURSORS, 0);
    EXPECT_FALSE(GraphCursorDrawn(panel_, PANEL_GRAPHTOP));
    EXPECT_EQ(SetCtrlAttribute(panel_, PANEL_GRAPHTOP, ATTR_NUM_CURSORS, 2), kUiError);
    EXPECT_EQ(SetGraphCursor(panel_, PANEL_GRAPHTOP, 2, 1, 1), kUiError);
    EXPECT_EQ(GetGraphCursor(panel_, PANEL_GRAPHTOP, 1, nullptr, &y), kUiError);
}

TEST_F(DataGraphs, CursorSurvivesDeletingThePlots) {
    drawAll();
    SetCtrlAttribute(panel_, PANEL_GRAPHTOP, ATTR_NUM_CURSORS, 1);
    SetGraphCursor(panel_, PANEL_GRAPHTOP, 1, 10, 100);
    DeleteGraphPlot(panel_, PANEL_GRAPHTOP, VAL_ALL_PLOTS, VAL_IMMEDIATE_DRAW);
    EXPECT_EQ(GraphPlotCount(panel_, PANEL_GRAPHTOP), 0);
    EXPECT_TRUE(GraphCursorDrawn(panel_, PANEL_GRAPHTOP));
}

TEST_F(DataGraphs, CaptionIsShownOnTheGraph) {
    ASSERT_EQ(SetCtrlAttribute(panel_, PANEL_GRAPHTOP, ATTR_LABEL_TEXT, "NORM=1000*(A/Amax)"), 0);
    EXPECT_EQ(GraphCaption(panel_, PANEL_GRAPHTOP), "NORM=1000*(A/Amax)");
}
