// The strip charts as drawn on the screen's first-start window: a Run draws nothing before
// its first reply and no line of zeros after it, and a change of the view mode leaves no
// sample of the old unit under the new axis. Replies are numbered (NumberMonitorReplies):
// raw values 3000 and more, normalised ones 100 to 500.
#include <gtest/gtest.h>

#include <QWidget>
#include <algorithm>

#include "console/startup.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/strip_chart.h"
#include "resources/panel_ids.h"
#include "scope/monitor.h"
#include "tests/screens/screen_fixture.h"
#include "tests/screens/trace_pixels.h"
#include "tests/support/ui/ui_readback.h"

using namespace kervano;

namespace {

const int kCharts[] = {PANEL_STRIPTOP, PANEL_STRIPBOT};
const std::vector<int> kRawColours = {VAL_BLUE, VAL_DK_GREEN};
const std::vector<int> kNormColours = {VAL_RED, VAL_DK_GRAY};

StripChart* Chart(int control) {
    return qobject_cast<StripChart*>(CtrlWidget(panelHandle, control));
}

}  // namespace

TEST_F(ScreenTest, RunDrawsNoPointBeforeItsFirstReplyNorZerosAfterIt) {
    int sent = 0;
    NumberMonitorReplies(controller, sent);
    QImage beforeReply, afterReplies;
    int drawn = 0;
    RunOnce([&] {
        RunMonitor(0.5);  // the charts full of the first run's replies
        Delay(0.1);
        RunMonitor(0.2, {{0.01, [&] { beforeReply = Grab("run-before-reply"); }},
                         {0.15, [&] {
                              drawn = StripChartPointCount(panelHandle, PANEL_STRIPTOP, 1);
                              afterReplies = Grab("run-first-replies");
                              // The replies since Run, one after the other, the last drawn last.
                              const double last = cntTRUV;
                              double base = 3000;
                              for (int control : kCharts) {
                                  for (int trace : {1, 2}) {
                                      const auto values =
                                          StripChartTrace(panelHandle, control, trace);
                                      ASSERT_EQ(static_cast<int>(values.size()), drawn);
                                      EXPECT_EQ(values.back(), base + last);
                                      EXPECT_EQ(values.front(), base + last - drawn + 1);
                                      base += 100;
                                  }
                              }
                          }}});
        ASSERT_GE(drawn, 2) << "replies since the second Run";
        ASSERT_LE(drawn, 10);
        for (int control : kCharts) {
            const StripChart* chart = Chart(control);
            const QRect area = PlotArea(chart, Window());
            EXPECT_TRUE(TracePixels(beforeReply, area, kRawColours).empty())
                << "a line before the first reply, chart " << control;
            // The oldest point drawn is sample 101 - drawn (the newest is at the right edge).
            const double oldest = SampleX(chart, Window(), 101 - drawn) - 2;
            const std::vector<QPoint> pixels = TracePixels(afterReplies, area, kRawColours);
            EXPECT_FALSE(pixels.empty());
            for (const QPoint& p : pixels)
                ASSERT_GE(p.x(), oldest) << "a line left of the first reply, chart " << control;
        }
    });
}

TEST_F(ScreenTest, AViewSwitchLeavesNoRawSampleUnderThePerMilleAxis) {
    int sent = 0;
    NumberMonitorReplies(controller, sent);
    QImage picture;
    RunOnce([&] {
        SetCtrlVal(panelHandle, PANEL_VIEWMODE, 0);
        RunMonitor(0.8, {{0.5, [] { SetCtrlVal(panelHandle, PANEL_VIEWMODE, 1); }},
                         {0.75, [&] { picture = Grab("view-switch"); }}});
        for (int control : kCharts) {
            const StripChart* chart = Chart(control);
            EXPECT_EQ(ChartAxisTitle(panelHandle, control, VAL_LEFT_YAXIS), "\u2030 of max");
            // Inset: the axis lines on the plot area's edges are dark too.
            const std::vector<QPoint> pixels =
                TracePixels(picture, PlotArea(chart, Window()), kNormColours, 2);
            ASSERT_FALSE(pixels.empty()) << "chart " << control;
            const int top = std::min_element(pixels.begin(), pixels.end(), [](QPoint a, QPoint b) {
                                return a.y() < b.y();
                            })->y();
            EXPECT_LT(ValueAtRow(chart, Window(), top), 1000)
                << "a trace above the per-mille scale, chart " << control;
        }
    });
}
