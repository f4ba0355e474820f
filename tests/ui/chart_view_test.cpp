// Charts that explain themselves: axis titles, legends, hover text, the y scale's lock and
// the shared scale, and Pause.
#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QXYSeries>
#include <algorithm>
#include <vector>

#include "platform/ui/chart_view_control.h"
#include "platform/ui/data_graph.h"
#include "platform/ui/strip_chart.h"
#include "tests/support/ui/ui_readback.h"
#include "tests/ui/ui_test_support.h"

namespace {

// pairs (a, b) as the monitor sends its history: trace 1 gets a, trace 2 gets b.
void PlotPairs(int panel, int control, int pairs, double a, double b) {
    std::vector<double> values;
    for (int i = 0; i < pairs; ++i) {
        values.push_back(a);
        values.push_back(b);
    }
    PlotStripChart(panel, control, values.data(), static_cast<int>(values.size()), 0, 0,
                   VAL_DOUBLE);
}

std::pair<double, double> YRange(int panel, int control) {
    double min = 0, max = 0;
    StripChartAxisRange(panel, control, &min, &max);
    return {min, max};
}

void Trigger(StripChart* chart, const char* text) {
    for (QAction* action : chart->menu()->actions()) {
        if (action->text() == QLatin1String(text)) return action->trigger();
    }
    ADD_FAILURE() << "no menu command " << text;
}

}  // namespace

class ChartViews : public PanelTest {
  protected:
    StripChart* strip(int control) { return ctrl<StripChart>(control); }

    // Where point (x, y) of a series is drawn, in viewport coordinates.
    QPoint PositionOf(CompactChart* chart, int series, QPointF value) {
        QCoreApplication::processEvents();  // lets the chart lay out its plot area
        QAbstractSeries* s = chart->chart()->series().at(series);
        const QPointF inChart = chart->chart()->mapToPosition(value, s);
        return chart->mapFromScene(chart->chart()->mapToScene(inChart));
    }
    // Moves the pointer to pos and returns the tooltip shown.
    std::string HoverAt(CompactChart* chart, QPoint pos) {
        QTest::mouseMove(chart->viewport(), pos);
        return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
    }
};

TEST_F(ChartViews, TitlesAndLegendNameEveryTraceInItsLook) {
    EXPECT_EQ(SetCtrlAttribute(panel_, PANEL_STRIPTOP, ATTR_XNAME, "sample"), 0);
    EXPECT_EQ(SetCtrlAttribute(panel_, PANEL_STRIPTOP, ATTR_YNAME, "raw counts"), 0);
    EXPECT_EQ(SetTraceAttributeEx(panel_, PANEL_STRIPTOP, 1, ATTR_TRACE_LG_TEXT, "TOP1"), 0);
    EXPECT_EQ(SetTraceAttributeEx(panel_, PANEL_STRIPTOP, 2, ATTR_TRACE_LG_TEXT, "TOP2"), 0);
    SetTraceAttribute(panel_, PANEL_STRIPTOP, 1, ATTR_TRACE_COLOR, VAL_BLUE);
    SetTraceAttribute(panel_, PANEL_STRIPTOP, 2, ATTR_TRACE_COLOR, VAL_GREEN);
    EXPECT_EQ(ChartAxisTitle(panel_, PANEL_STRIPTOP, VAL_XAXIS), "sample");
    EXPECT_EQ(ChartAxisTitle(panel_, PANEL_STRIPTOP, VAL_LEFT_YAXIS), "raw counts");
    EXPECT_TRUE(ChartLegend(panel_, PANEL_STRIPTOP).empty()) << "hidden until asked for";

    int shown = 0;
    ASSERT_EQ(SetCtrlAttribute(panel_, PANEL_STRIPTOP, ATTR_LEGEND_VISIBLE, 1), 0);
    GetCtrlAttribute(panel_, PANEL_STRIPTOP, ATTR_LEGEND_VISIBLE, &shown);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(
        ChartLegend(panel_, PANEL_STRIPTOP),
        (std::vector<ChartLegendEntry>{{"TOP1", VAL_BLUE, false}, {"TOP2", VAL_GREEN, false}}));
    SetTraceAttribute(panel_, PANEL_STRIPTOP, 2, ATTR_TRACE_COLOR, VAL_DK_GRAY);
    EXPECT_EQ(ChartLegend(panel_, PANEL_STRIPTOP)[1].color, VAL_DK_GRAY) << "follows the trace";

    // A graph: named plots only, each with its colour and line style.
    const unsigned short x[2] = {1, 128}, y[2] = {500, 500};
    auto plot = [&](int style, int line, int color) {
        return PlotXY(panel_, PANEL_GRAPHTOP, x, y, 2, VAL_UNSIGNED_SHORT_INTEGER,
                      VAL_UNSIGNED_SHORT_INTEGER, style, VAL_NO_POINT, line, 1, color);
    };
    const int limit = plot(VAL_THIN_LINE, VAL_SOLID, VAL_BLACK);
    const int data = plot(VAL_CONNECTED_POINTS, VAL_SOLID, VAL_RED);
    plot(VAL_THIN_LINE, VAL_SOLID, VAL_BLUE);  // left unnamed
    const int ref = plot(VAL_THIN_LINE, VAL_DASH, VAL_BLACK);
    SetCtrlAttribute(panel_, PANEL_GRAPHTOP, ATTR_LEGEND_VISIBLE, 1);
    EXPECT_EQ(SetPlotAttribute(panel_, PANEL_GRAPHTOP, limit, ATTR_PLOT_LG_TEXT, "limit"), 0);
    EXPECT_EQ(SetPlotAttribute(panel_, PANEL_GRAPHTOP, data, ATTR_PLOT_LG_TEXT, "data"), 0);
    EXPECT_EQ(SetPlotAttribute(panel_, PANEL_GRAPHTOP, ref, ATTR_PLOT_LG_TEXT, "reference"), 0);
    EXPECT_EQ(ChartLegend(panel_, PANEL_GRAPHTOP),
              (std::vector<ChartLegendEntry>{{"limit", VAL_BLACK, false},
                                             {"data", VAL_RED, false},
                                             {"reference", VAL_BLACK, true}}));
    EXPECT_EQ(SetCtrlAttribute(panel_, PANEL_GRAPHTOP, ATTR_YNAME, "\u2030 of max"), 0);
    EXPECT_EQ(ChartAxisTitle(panel_, PANEL_GRAPHTOP, VAL_LEFT_YAXIS), "\u2030 of max");

    EXPECT_EQ(SetTraceAttributeEx(panel_, PANEL_STRIPTOP, 3, ATTR_TRACE_LG_TEXT, "x"), kUiError);
    EXPECT_EQ(SetPlotAttribute(panel_, PANEL_GRAPHTOP, 999, ATTR_PLOT_LG_TEXT, "x"), kUiError);
    EXPECT_EQ(SetCtrlAttribute(panel_, PANEL_REFTOP, ATTR_XNAME, "x"), kUiError);
    EXPECT_EQ(SetCtrlAttribute(panel_, PANEL_REFTOP, ATTR_LEGEND_VISIBLE, 1), kUiError);
}

TEST_F(ChartViews, HoverNamesTheSampleAndValueUnderThePointer) {
    // Strip chart: samples 1 to 100, the newest at the right.
    SetCtrlAttribute(panel_, PANEL_STRIPTOP, ATTR_YNAME, "raw counts");
    SetTraceAttributeEx(panel_, PANEL_STRIPTOP, 2, ATTR_TRACE_LG_TEXT, "TOP2");
    std::vector<double> history;
    for (int i = 1; i <= 100; ++i) {
        history.push_back(100);
        history.push_back(1000 + 10 * i);  // trace 2: sample n is 1000 + 10n
    }
    PlotStripChart(panel_, PANEL_STRIPTOP, history.data(), 200, 0, 0, VAL_DOUBLE);
    StripChart* chart = strip(PANEL_STRIPTOP);
    EXPECT_EQ(HoverAt(chart, PositionOf(chart, 1, {37, 1370}) + QPoint(2, -2)),
              "TOP2, sample 37: 1370 raw counts");
    EXPECT_EQ(HoverAt(chart, PositionOf(chart, 1, {100, 2000})),
              "TOP2, sample 100: 2000 raw counts");
    EXPECT_EQ(chart->hoverText(PositionOf(chart, 1, {50, 600})), "") << "nothing drawn near";

    // Graph: the x positions are the sample numbers 1 to 128.
    SetCtrlAttribute(panel_, PANEL_STRIPTOP, ATTR_VISIBLE, 0);
    SetCtrlAttribute(panel_, PANEL_GRAPHTOP, ATTR_VISIBLE, 1);
    SetAxisScalingMode(panel_, PANEL_GRAPHTOP, VAL_XAXIS, VAL_MANUAL, 1, 128);
    SetAxisScalingMode(panel_, PANEL_GRAPHTOP, VAL_LEFT_YAXIS, VAL_MANUAL, 0, 1000);
    SetCtrlAttribute(panel_, PANEL_GRAPHTOP, ATTR_YNAME, "\u2030 of max");
    unsigned short x[128], y[128];
    for (int i = 0; i < 128; ++i) {
        x[i] = static_cast<unsigned short>(i + 1);
        y[i] = static_cast<unsigned short>(5 * i);
    }
    const int data = PlotXY(panel_, PANEL_GRAPHTOP, x, y, 128, VAL_UNSIGNED_SHORT_INTEGER,
                            VAL_UNSIGNED_SHORT_INTEGER, VAL_CONNECTED_POINTS, VAL_NO_POINT,
                            VAL_SOLID, 1, VAL_RED);
    SetPlotAttribute(panel_, PANEL_GRAPHTOP, data, ATTR_PLOT_LG_TEXT, "TOP data");
    auto* graph = ctrl<DataGraph>(PANEL_GRAPHTOP);
    // A graph lists every named plot at the sample under the pointer.
    EXPECT_EQ(HoverAt(graph, PositionOf(graph, 0, {128, 635})),
              "sample 128 (\u2030 of max)\nTOP data: 635");
}

TEST_F(ChartViews, TracesAreDrawnWhereTheirValuesAreOnEachScale) {
    StripChart* chart = strip(PANEL_STRIPTOP);
    SetTraceAttribute(panel_, PANEL_STRIPTOP, 1, ATTR_TRACE_COLOR, VAL_RED);
    SetTraceAttribute(panel_, PANEL_STRIPTOP, 2, ATTR_TRACE_COLOR, VAL_BLUE);
    // Whether a pixel within two of where value v of sample 50 is shows the trace's colour
    // (channel 0 red, 2 blue) clearly above the others; antialiasing lightens it.
    auto drawnAt = [&](int series, double v, int channel) {
        const QPoint at = PositionOf(chart, series, {50, v}) + chart->viewport()->pos();
        const QImage image = chart->grab().toImage();
        for (int dy = -2; dy <= 2; ++dy) {
            const QColor c = image.pixelColor(at + QPoint(0, dy));
            const int rgb[] = {c.red(), c.green(), c.blue()};
            if (rgb[channel] - std::max({rgb[0], rgb[1], rgb[2]}) >= 0 &&
                rgb[channel] - std::min({rgb[0], rgb[1], rgb[2]}) > 60)
                return true;
        }
        return false;
    };
    PlotPairs(panel_, PANEL_STRIPTOP, 101, 30, 70);
    EXPECT_TRUE(drawnAt(0, 30, 0));
    EXPECT_TRUE(drawnAt(1, 70, 2));
    EXPECT_FALSE(drawnAt(0, 70, 0));
    // New values on a new scale.
    PlotPairs(panel_, PANEL_STRIPTOP, 101, 3000, 7000);
    ASSERT_GE(YRange(panel_, PANEL_STRIPTOP).second, 7000.0);
    EXPECT_TRUE(drawnAt(0, 3000, 0));
    EXPECT_TRUE(drawnAt(1, 7000, 2));
}

TEST_F(ChartViews, LockedScaleStaysWhileAutomaticFollowsTheData) {
    StripChart* chart = strip(PANEL_STRIPTOP);
    PlotPairs(panel_, PANEL_STRIPTOP, 101, 4095, 0);
    const auto raw = YRange(panel_, PANEL_STRIPTOP);
    EXPECT_GE(raw.second, 4095.0);

    Trigger(chart, "Lock this scale");
    EXPECT_TRUE(StripChartScaleLocked(panel_, PANEL_STRIPTOP));
    PlotPairs(panel_, PANEL_STRIPTOP, 101, 900, 0);
    EXPECT_EQ(YRange(panel_, PANEL_STRIPTOP), raw) << "locked at the range it had";

    Trigger(chart, "Automatic scale");
    EXPECT_FALSE(StripChartScaleLocked(panel_, PANEL_STRIPTOP));
    EXPECT_GE(YRange(panel_, PANEL_STRIPTOP).second, 900.0);
    EXPECT_LE(YRange(panel_, PANEL_STRIPTOP).second, 1000.0) << "back to following the data";
}

TEST_F(ChartViews, SharedScaleGivesBothChartsOneRange) {
    PlotPairs(panel_, PANEL_STRIPTOP, 101, 4000, 0);
    PlotPairs(panel_, PANEL_STRIPBOT, 101, 100, 0);
    EXPECT_LE(YRange(panel_, PANEL_STRIPBOT).second, 150.0);

    Trigger(strip(PANEL_STRIPBOT), "Same scale for both charts");
    EXPECT_TRUE(StripChartsShareScale(panel_));
    const auto shared = YRange(panel_, PANEL_STRIPTOP);
    EXPECT_GE(shared.second, 4000.0) << "automatic: the union of both";
    EXPECT_EQ(YRange(panel_, PANEL_STRIPBOT), shared);

    // Locking one locks both at that range, whatever either draws next.
    Trigger(strip(PANEL_STRIPBOT), "Lock this scale");
    EXPECT_TRUE(StripChartScaleLocked(panel_, PANEL_STRIPTOP));
    PlotPairs(panel_, PANEL_STRIPTOP, 101, 50, 0);
    PlotPairs(panel_, PANEL_STRIPBOT, 101, 9000, 0);
    EXPECT_EQ(YRange(panel_, PANEL_STRIPTOP), shared);
    EXPECT_EQ(YRange(panel_, PANEL_STRIPBOT), shared);

    ASSERT_EQ(SetStripChartsShareScale(panel_, 0), 0);
    ASSERT_EQ(SetStripChartScaleLocked(panel_, PANEL_STRIPTOP, 0), 0);
    EXPECT_TRUE(StripChartScaleLocked(panel_, PANEL_STRIPBOT)) << "no longer tied";
    EXPECT_LE(YRange(panel_, PANEL_STRIPTOP).second, 100.0);
}

TEST_F(ChartViews, PauseFreezesBothChartsWhileValuesArrive) {
    PlotPairs(panel_, PANEL_STRIPTOP, 100, 1, 2);
    PlotPairs(panel_, PANEL_STRIPBOT, 100, 3, 4);
    const auto top = StripChartTrace(panel_, PANEL_STRIPTOP, 1);
    const auto bot = StripChartTrace(panel_, PANEL_STRIPBOT, 2);
    SetTraceAttribute(panel_, PANEL_STRIPBOT, 1, ATTR_TRACE_COLOR, VAL_BLUE);
    SetCtrlAttribute(panel_, PANEL_STRIPBOT, ATTR_YNAME, "raw counts");

    // One click on the chart's Pause button pauses both.
    auto* button = strip(PANEL_STRIPTOP)->findChild<QToolButton*>();
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(StripChartsPaused(panel_));
    EXPECT_TRUE(StripChartsPauseAction(panel_)->isChecked());

    for (int redraw = 1; redraw <= 30; ++redraw) {
        PlotPairs(panel_, PANEL_STRIPTOP, 100, 10 + redraw, 20);
        PlotPairs(panel_, PANEL_STRIPBOT, 100, 30, 40 + redraw);
    }
    SetTraceAttribute(panel_, PANEL_STRIPBOT, 1, ATTR_TRACE_COLOR, VAL_RED);
    SetCtrlAttribute(panel_, PANEL_STRIPBOT, ATTR_YNAME, "\u2030 of max");
    EXPECT_EQ(StripChartTrace(panel_, PANEL_STRIPTOP, 1), top);
    EXPECT_EQ(StripChartTrace(panel_, PANEL_STRIPBOT, 2), bot);
    EXPECT_EQ(TraceColor(panel_, PANEL_STRIPBOT, 1), VAL_BLUE) << "the frozen picture's look";
    EXPECT_EQ(ChartAxisTitle(panel_, PANEL_STRIPBOT, VAL_LEFT_YAXIS), "raw counts");

    // Resuming shows the latest at once, with its look.
    QTest::mouseClick(strip(PANEL_STRIPBOT)->findChild<QToolButton*>(), Qt::LeftButton);
    EXPECT_FALSE(StripChartsPaused(panel_));
    EXPECT_EQ(StripChartTrace(panel_, PANEL_STRIPTOP, 1).back(), 40.0);
    EXPECT_EQ(StripChartTrace(panel_, PANEL_STRIPBOT, 2).back(), 70.0);
    EXPECT_EQ(TraceColor(panel_, PANEL_STRIPBOT, 1), VAL_RED);
    EXPECT_EQ(ChartAxisTitle(panel_, PANEL_STRIPBOT, VAL_LEFT_YAXIS), "\u2030 of max");
}
