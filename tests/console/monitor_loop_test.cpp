// Run and Stop: the live monitor against the emulator on the simulated line.
#include <gtest/gtest.h>

#include <algorithm>

#include "console/commands.h"
#include "console/startup.h"
#include "link/frame.h"
#include "link/port_setup.h"
#include "params/param_set.h"
#include "platform/serial/serial_port.h"
#include "resources/panel_ids.h"
#include "scope/monitor.h"
#include "tests/support/app/panel_fixture.h"
#include "tests/support/ui/ui_readback.h"

using namespace kervano;

namespace {

class MonitorTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        OpenLine();
    }
    void Run() { CC_BTNRun(panelHandle, PANEL_BTNRUN, EVENT_COMMIT, nullptr, 0, 0); }
    void StopAt(double t) {
        line.at(t, [] { CC_BTNStop(panelHandle, PANEL_BTNSTOP, EVENT_COMMIT, nullptr, 0, 0); });
    }
    int MonitorRequests() const {
        const auto o = controller.orders();
        return static_cast<int>(std::count(o.begin(), o.end(), ORDER_MONITOR));
    }
    // What each trace of both charts should hold, replies numbered (NumberMonitorReplies):
    // base + n, base + 100 + n ... for the replies n in [from, to].
    void ExpectTraces(int base, int from, int to) const {
        int offset = 0;
        for (int chart : {PANEL_STRIPTOP, PANEL_STRIPBOT}) {
            for (int trace : {1, 2}) {
                std::vector<double> expected;
                for (int n = from; n <= to; ++n) expected.push_back(base + offset + n);
                EXPECT_EQ(StripChartTrace(panelHandle, chart, trace), expected)
                    << "chart " << chart << " trace " << trace;
                offset += 100;
            }
        }
    }
    bool HistoryEmpty() const {
        return std::all_of(arrayRAWTOP, arrayRAWTOP + kHistoryValues,
                           [](double v) { return v == 0; }) &&
               std::all_of(arrayRAWBOT, arrayRAWBOT + kHistoryValues,
                           [](double v) { return v == 0; });
    }

    int monitorReplies = 0;  // sent by the controller
};

}  // namespace

TEST_F(MonitorTest, HealthyRunScrollsUntilStop) {
    bool dimmedWhileRunning = false;
    bool chartsShown = false;
    line.at(line.now() + 0.5, [&] {
        dimmedWhileRunning = IsDimmed(PANEL_RUNLOCK) && IsDimmed(PANEL_DATALOCK);
        chartsShown = IsVisible(PANEL_STRIPTOP) && IsVisible(PANEL_STRIPBOT) &&
                      !IsVisible(PANEL_GRAPHTOP) && !IsVisible(PANEL_GRAPHBOT);
    });
    bool historyFilling = false;
    line.at(line.now() + 0.9, [&] {
        historyFilling =
            arrayRAWTOP[kHistoryValues - 1] != 0 && arrayRAWTOP[kHistoryValues - 41] != 0;
    });
    StopAt(line.now() + 1.0);
    Run();

    EXPECT_TRUE(dimmedWhileRunning);
    EXPECT_TRUE(chartsShown);
    // Each exchange takes two frame times on the wire: about 26 a second.
    EXPECT_GT(MonitorRequests(), 20);
    EXPECT_TRUE(historyFilling);
    EXPECT_EQ(CtrlValue(PANEL_COUNT), cntTRUV) << "read-out shows the last reply";
    EXPECT_EQ(StatusText(), "Line Ok!") << "no later turn writes the status line";
    EXPECT_FALSE(IsDimmed(PANEL_RUNLOCK));
    EXPECT_FALSE(IsDimmed(PANEL_DATALOCK));
    EXPECT_TRUE(HistoryEmpty()) << "Stop clears the histories";
    EXPECT_EQ(stop_flag, 1);
}

TEST_F(MonitorTest, EachRunDrawsOnlyWhatArrivedSinceIt) {
    NumberMonitorReplies(controller, monitorReplies);
    StopAt(line.now() + 0.5);
    Run();
    ASSERT_GT(cntTRUV, 5);
    ExpectTraces(3000, 1, cntTRUV);
    Delay(0.1);  // a reply on its way at Stop lands, and the next Run flushes it
    const int sent = monitorReplies;

    // Right after the second Run's request, before its reply: empty charts, no zeros.
    int pointsBeforeReply = -1;
    line.at(line.now() + 0.01, [&] {
        pointsBeforeReply = StripChartPointCount(panelHandle, PANEL_STRIPTOP, 1) +
                            StripChartPointCount(panelHandle, PANEL_STRIPBOT, 2);
    });
    StopAt(line.now() + 0.3);
    Run();
    EXPECT_EQ(pointsBeforeReply, 0);
    ASSERT_GT(cntTRUV, sent + 3);
    ExpectTraces(3000, sent + 1, cntTRUV);
}

TEST_F(MonitorTest, AViewSwitchDrawsTheSameRepliesAgainInTheNewUnit) {
    NumberMonitorReplies(controller, monitorReplies);
    int beforeSwitch = 0;
    line.at(line.now() + 0.5, [&] {
        beforeSwitch = monitorReplies;
        SetCtrlVal(panelHandle, PANEL_VIEWMODE, 1);
    });
    StopAt(line.now() + 0.8);
    Run();
    ASSERT_GT(beforeSwitch, 5);
    ASSERT_GT(cntTRUV, beforeSwitch + 3);
    ExpectTraces(100, 1, cntTRUV);  // every reply since Run, all normalised
    EXPECT_EQ(ChartAxisTitle(panelHandle, PANEL_STRIPTOP, VAL_LEFT_YAXIS), "\u2030 of max");
    double min = 0, max = 0;
    StripChartAxisRange(panelHandle, PANEL_STRIPTOP, &min, &max);
    EXPECT_LT(max, 3000) << "no raw counts under the per-mille axis";
}

TEST_F(MonitorTest, ReadOutsFollowTheLastReply) {
    controller.setReplyHook([](int order, const uint16_t*, sim::Reply& reply) {
        if (order != ORDER_MONITOR) return;
        reply.bytes =
            MakeFrame(8, {10, 20, 30, 40, 100, 200, 300, 400, 11, 12, 13, 14, 77, 5, 5, 200});
    });
    StopAt(line.now() + 0.3);
    Run();
    EXPECT_EQ(CtrlValue(PANEL_TOP1), 10u);
    EXPECT_EQ(CtrlValue(PANEL_BOT2), 40u);
    EXPECT_EQ(CtrlValue(PANEL_MAXBOT2), 14u);
    EXPECT_EQ(CtrlValue(PANEL_COUNT), 77u);
    EXPECT_EQ(CtrlValue(PANEL_INDEXA), 128u) << "index limited to 128";
    EXPECT_EQ(CtrlValue(PANEL_LED1), 1u);
    EXPECT_EQ(CtrlValue(PANEL_LED2), 1u);
}

TEST_F(MonitorTest, SilentControllerEndsTheRunJustAfterTwoSeconds) {
    controller.model().faults.silent = true;
    const double start = line.now();
    Run();
    EXPECT_GT(line.now() - start, 2.0);
    EXPECT_LT(line.now() - start, 2.01);
    // The time-out's own text first, then the same with the way out of the dimmed frame.
    EXPECT_EQ(TakeStatusHistory(),
              (std::vector<std::string>{"Line Ok!", "Timeout RS232-Line!", kStopHintText}));
    EXPECT_EQ(StatusText(), "Timeout RS232-Line! - press Stop to unlock the parameters");
    EXPECT_FALSE(IsDimmed(PANEL_RUNLOCK));
    EXPECT_TRUE(IsDimmed(PANEL_DATALOCK)) << "only Stop or a capture frees it";
    EXPECT_EQ(stop_flag, 1);
}

TEST_F(MonitorTest, TimeoutCountsFromTheLastRequest) {
    int replies = 0;
    controller.setReplyHook([&](int order, const uint16_t*, sim::Reply& reply) {
        if (order != ORDER_MONITOR) return;
        reply.delay = ++replies <= 4 ? 1.9 - SimController::WireTime(36) : 2.1;
    });
    const double start = line.now();
    Run();
    EXPECT_EQ(StatusText(), kStopHintText);
    EXPECT_EQ(MonitorRequests(), 5);
    EXPECT_GT(line.now() - start, 4 * 1.9 + 2.0);
}

TEST_F(MonitorTest, RunOnAClosedPortSaysSoAtOnceAndLeavesNothingLocked) {
    CloseCom(com);
    Run();
    EXPECT_EQ(TakeStatusHistory(),
              (std::vector<std::string>{"Port is not open - monitor not started!"}));
    EXPECT_FALSE(IsDimmed(PANEL_DATALOCK));
    EXPECT_FALSE(IsDimmed(PANEL_RUNLOCK));
}

TEST_F(MonitorTest, ViewModeChoosesThePacketOfTheNextRequest) {
    line.at(line.now() + 0.2, [] { SetCtrlVal(panelHandle, PANEL_VIEWMODE, 2); });
    line.at(line.now() + 0.4, [] { SetCtrlVal(panelHandle, PANEL_VIEWMODE, 1); });
    StopAt(line.now() + 0.6);
    Run();
    const auto& r = controller.requests();
    ASSERT_GT(r.size(), 10u);
    EXPECT_EQ(r.front().payload[0], 0);
    bool sawShort = false;
    for (const auto& req : r) {
        if (req.time > 0.21 && req.time < 0.39) {
            EXPECT_EQ(req.payload[0], 1);
            EXPECT_EQ(req.payload[3], hold);
            sawShort = true;
        }
        if (req.time > 0.41) {
            EXPECT_EQ(req.payload[0], 0);
        }
    }
    EXPECT_TRUE(sawShort);
}

TEST_F(MonitorTest, StopWhileIdleSendsNothingAndFreesTheLocks) {
    SetCtrlAttribute(panelHandle, PANEL_RUNLOCK, ATTR_DIMMED, 1);
    SetCtrlAttribute(panelHandle, PANEL_DATALOCK, ATTR_DIMMED, 1);
    FillarrayRAW(1, 2, 3, 4);
    line.deliver(com, std::vector<uint8_t>(10, 1), line.now());
    Delay(0.01);
    CC_BTNStop(panelHandle, PANEL_BTNSTOP, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_TRUE(line.writes().empty());
    EXPECT_EQ(GetInQLen(com), 0);
    EXPECT_TRUE(HistoryEmpty());
    EXPECT_FALSE(IsDimmed(PANEL_RUNLOCK));
    EXPECT_FALSE(IsDimmed(PANEL_DATALOCK));
    EXPECT_FALSE(IsDimmed(PANEL_STOPOFF));
    EXPECT_EQ(stop_flag, 1);
}

TEST_F(MonitorTest, ClosingThePanelEndsTheRun) {
    line.at(line.now() + 0.3, [] { CC_PANEL(panelHandle, EVENT_CLOSE, nullptr, 0, 0); });
    const double start = line.now();
    Run();
    EXPECT_LT(line.now() - start, 0.4);
    EXPECT_EQ(stop_flag, 1);
    EXPECT_FALSE(line.isOpen(com));
    EXPECT_TRUE(IsDimmed(PANEL_DATALOCK));
    EXPECT_FALSE(HistoryEmpty()) << "only Stop clears the histories";
}

TEST_F(MonitorTest, OtherEventsDoNothing) {
    CC_BTNRun(panelHandle, PANEL_BTNRUN, EVENT_LEFT_CLICK, nullptr, 0, 0);
    CC_BTNStop(panelHandle, PANEL_BTNSTOP, EVENT_VAL_CHANGED, nullptr, 0, 0);
    EXPECT_TRUE(line.writes().empty());
}
