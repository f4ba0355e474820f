// Data: the monitor exchange, four blocks and both graphs.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "console/commands.h"
#include "console/startup.h"
#include "link/data_block.h"
#include "link/frame.h"
#include "link/port_setup.h"
#include "params/param_set.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "scope/monitor.h"
#include "tests/support/app/panel_fixture.h"
#include "tests/support/ui/ui_readback.h"

using namespace kervano;

namespace {

constexpr int kPlotUp = 0, kPlotLo = 1, kPlotData = 2, kPlotRef = 3;

class DataCaptureTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        OpenLine();
    }
    void Data() { CC_BTNData(panelHandle, PANEL_BTNDATA, EVENT_COMMIT, nullptr, 0, 0); }
    void IndexIs(uint16_t index) {
        controller.setReplyHook([index](int order, const uint16_t*, sim::Reply& reply) {
            if (order != ORDER_MONITOR) return;
            std::vector<uint16_t> words(16, 0);
            words[15] = index;
            reply.bytes = MakeFrame(8, words);
        });
    }
    void ExpectCurve(int graph, const unsigned short* data) {
        const auto points = GraphPlotPoints(panelHandle, graph, kPlotData);
        ASSERT_EQ(points.size(), 128u);
        for (int i = 0; i < 128; ++i) {
            ASSERT_EQ(points[i].first, i + 1);
            ASSERT_EQ(points[i].second, data[i]);
        }
    }
};

}  // namespace

TEST_F(DataCaptureTest, FullCaptureDrawsBothGraphsWithCursorsAtIndex) {
    IndexIs(37);
    Data();
    EXPECT_EQ(controller.orders(), (std::vector<int>{8, 9, 9, 9, 9}));
    EXPECT_EQ(StatusText(), "Data[64] block received!");
    EXPECT_TRUE(IsVisible(PANEL_GRAPHTOP));
    EXPECT_TRUE(IsVisible(PANEL_GRAPHBOT));
    EXPECT_FALSE(IsVisible(PANEL_STRIPTOP));
    EXPECT_FALSE(IsVisible(PANEL_STRIPBOT));
    for (int graph : {PANEL_GRAPHTOP, PANEL_GRAPHBOT}) {
        EXPECT_EQ(GraphPlotCount(panelHandle, graph), 4);
        EXPECT_EQ(GraphCaption(panelHandle, graph), "NORM=1000*(A/Amax)");
        double min = 0, max = 0;
        GraphAxisRange(panelHandle, graph, VAL_LEFT_YAXIS, &min, &max);
        EXPECT_EQ(min, 0.0);
        EXPECT_EQ(max, 1000.0);
        GraphAxisRange(panelHandle, graph, VAL_XAXIS, &min, &max);
        EXPECT_EQ(min, 1.0);
        EXPECT_EQ(max, 128.0);
        EXPECT_TRUE(GraphCursorDrawn(panelHandle, graph));
    }
    ExpectCurve(PANEL_GRAPHTOP, yArrayA);
    ExpectCurve(PANEL_GRAPHBOT, yArrayB);
    double x = 0, y = 0;
    GetGraphCursor(panelHandle, PANEL_GRAPHTOP, 1, &x, &y);
    EXPECT_EQ(x, 37.0);
    EXPECT_EQ(y, yArrayA[36]);
    GetGraphCursor(panelHandle, PANEL_GRAPHBOT, 1, &x, &y);
    EXPECT_EQ(x, 37.0);
    EXPECT_EQ(y, yArrayB[36]);
    EXPECT_EQ(line.notificationMask(com), eventMask);
}

TEST_F(DataCaptureTest, LinesHaveTheirLooksAndValues) {
    Data();
    const auto up = GraphPlotPoints(panelHandle, PANEL_GRAPHTOP, kPlotUp);
    const auto lo = GraphPlotPoints(panelHandle, PANEL_GRAPHTOP, kPlotLo);
    const auto ref = GraphPlotPoints(panelHandle, PANEL_GRAPHTOP, kPlotRef);
    ASSERT_EQ(up.size(), 128u);
    EXPECT_EQ(up[0].second, refTOP + tolTOP);
    EXPECT_EQ(lo[127].second, refTOP - hystTOP);
    EXPECT_EQ(ref[64].second, refTOP);
    const auto botUp = GraphPlotPoints(panelHandle, PANEL_GRAPHBOT, kPlotUp);
    EXPECT_EQ(botUp[0].second, refBOT - tolBOT) << "TOP lines were drawn before BOT refilled them";

    const auto upLook = GraphPlotLook(panelHandle, PANEL_GRAPHTOP, kPlotUp);
    const auto loLook = GraphPlotLook(panelHandle, PANEL_GRAPHTOP, kPlotLo);
    const auto dataLook = GraphPlotLook(panelHandle, PANEL_GRAPHTOP, kPlotData);
    const auto refLook = GraphPlotLook(panelHandle, PANEL_GRAPHTOP, kPlotRef);
    EXPECT_EQ(upLook.color, 0x000000);
    EXPECT_EQ(loLook.color, upLook.color);
    EXPECT_EQ(loLook.dashed, upLook.dashed);
    EXPECT_EQ(dataLook.color, 0xFF0000);
    EXPECT_TRUE(dataLook.pointsShown);
    EXPECT_TRUE(refLook.dashed);
    EXPECT_FALSE(upLook.dashed);
}

TEST_F(DataCaptureTest, LinesFollowTheVariablesNotThePanel) {
    SetCtrlVal(panelHandle, PANEL_REFTOP, 900u);
    refTOP = 400;
    Data();
    EXPECT_EQ(GraphPlotPoints(panelHandle, PANEL_GRAPHTOP, kPlotRef)[0].second, 400.0);
}

TEST_F(DataCaptureTest, NegativeBotToleranceLineIsPinnedToTheBottomEdgeDotted) {
    refBOT = 20;
    tolBOT = 70;
    Data();
    const auto up = GraphPlotPoints(panelHandle, PANEL_GRAPHBOT, kPlotUp);
    ASSERT_EQ(up.size(), 128u);
    EXPECT_EQ(up[0].second, 0.0);
    const auto look = GraphPlotLook(panelHandle, PANEL_GRAPHBOT, kPlotUp);
    EXPECT_TRUE(look.dashed);
    EXPECT_NE(look.color, 0x000000) << "it must not look like a limit inside the range";
}

// The data curve's points (x of the first and count) when not all blocks came, and what
// the capture then says. A missing part is never drawn: no zeros, no words of an earlier
// capture, no cursor on a sample that did not arrive.
TEST_F(DataCaptureTest, AnIncompleteCaptureDrawsOnlyWhatArrivedAndSaysSo) {
    struct Curve {
        int points;
        double firstX;
        bool cursor;
    };
    const struct {
        const char* name;
        std::function<void(SimController&)> fault;
        Curve top, bot;
        const char* text;
    } cases[] = {
        {"no block",
         [](SimController& c) { c.model().faults.ignoredOrders = {ORDER_DATA}; },
         {0, 0, false},
         {0, 0, false},
         "Data incomplete - only 0 of 4 blocks received!"},
        {"last block silent: the earlier ones keep their places",
         [](SimController& c) { c.model().faults.ignoredBlockStarts = {192}; },
         {128, 1, true},
         {64, 1, true},
         "Data incomplete - only 3 of 4 blocks received!"},
        {"first block silent",
         [](SimController& c) { c.model().faults.ignoredBlockStarts = {0}; },
         {64, 65, false},
         {128, 1, true},
         "Data incomplete - only 3 of 4 blocks received!"},
        {"second block too long",
         [](SimController& c) {
             c.setReplyHook([](int order, const uint16_t* payload, sim::Reply& reply) {
                 if (order == ORDER_MONITOR) {
                     std::vector<uint16_t> words(16, 0);
                     words[15] = 37;
                     reply.bytes = MakeFrame(8, words);
                 }
                 if (order == ORDER_DATA && payload[0] == 64) reply.bytes.resize(200, 0x11);
             });
         },
         {64, 1, true},
         {128, 1, true},
         "Data incomplete - only 3 of 4 blocks received!"},
    };
    for (const auto& c : cases) {
        controller.model().faults = {};
        IndexIs(37);  // the cursor's sample, whatever the capture's timing
        Data();       // a good capture first: nothing of it may show in the next one
        c.fault(controller);
        Data();
        EXPECT_EQ(StatusText(), c.text) << c.name;
        for (const auto& [graph, curve] :
             {std::pair{PANEL_GRAPHTOP, c.top}, std::pair{PANEL_GRAPHBOT, c.bot}}) {
            const int plots = GraphPlotCount(panelHandle, graph);
            EXPECT_EQ(plots, curve.points > 0 ? 4 : 3) << c.name << ": the three lines, always";
            if (curve.points > 0) {
                const auto data = GraphPlotPoints(panelHandle, graph, kPlotData);
                ASSERT_EQ(static_cast<int>(data.size()), curve.points) << c.name;
                EXPECT_EQ(data.front().first, curve.firstX) << c.name;
            }
            EXPECT_EQ(GraphCursorDrawn(panelHandle, graph), curve.cursor) << c.name;
        }
    }
}

TEST_F(DataCaptureTest, IndexZeroPutsCursorOnFirstSample) {
    IndexIs(0);
    Data();
    double x = 0, y = -1;
    GetGraphCursor(panelHandle, PANEL_GRAPHTOP, 1, &x, &y);
    EXPECT_EQ(x, 1.0);
    EXPECT_EQ(y, yArrayA[0]);
}

TEST_F(DataCaptureTest, SecondCaptureReplacesEveryPlot) {
    Data();
    Data();
    EXPECT_EQ(GraphPlotCount(panelHandle, PANEL_GRAPHTOP), 4);
    EXPECT_EQ(GraphPlotCount(panelHandle, PANEL_GRAPHBOT), 4);
}

TEST_F(DataCaptureTest, AMissingMonitorReplyShowsNoRequestWordsAsMeasurements) {
    IndexIs(37);
    Data();  // read-outs and cursor from a real reply
    const unsigned top1 = CtrlValue(PANEL_TOP1);
    const unsigned short index = indexA;
    controller.setReplyHook({});
    controller.model().faults.ignoredOrders = {ORDER_MONITOR};
    for (int k = 0; k < 16; ++k) pp[k] = static_cast<unsigned short>(k + 1);
    controller.clearRequests();
    Data();
    EXPECT_EQ(controller.orders(), (std::vector<int>{8, 9, 9, 9, 9}));
    EXPECT_EQ(controller.requests()[0].payload[3], 4) << "pp goes out unrefilled";
    EXPECT_EQ(CtrlValue(PANEL_TOP1), top1) << "the request's words are no reading";
    EXPECT_EQ(indexA, index);
    for (int graph : {PANEL_GRAPHTOP, PANEL_GRAPHBOT}) {
        EXPECT_EQ(GraphPlotPoints(panelHandle, graph, kPlotData).size(), 128u);
        EXPECT_FALSE(GraphCursorDrawn(panelHandle, graph)) << "no cursor from an old index";
    }
    EXPECT_EQ(StatusText(), "No monitor reply - read-outs and cursor not updated!");

    CloseCom(com);  // nothing at all can come, and no time-out is waited for
    const double start = line.now();
    Data();
    EXPECT_EQ(StatusText(), "Port is not open - no data captured!");
    EXPECT_LT(line.now() - start, 0.1);
    EXPECT_EQ(GraphPlotCount(panelHandle, PANEL_GRAPHTOP), 3);
}

TEST_F(DataCaptureTest, CaptureAfterLineTimeoutFreesTheDataLock) {
    SetCtrlAttribute(panelHandle, PANEL_DATALOCK, ATTR_DIMMED, 1);
    Data();
    EXPECT_FALSE(IsDimmed(PANEL_DATALOCK));
}

TEST_F(DataCaptureTest, RunBringsTheStripChartsBack) {
    Data();
    line.at(line.now() + 0.2,
            [] { CC_BTNStop(panelHandle, PANEL_BTNSTOP, EVENT_COMMIT, nullptr, 0, 0); });
    CC_BTNRun(panelHandle, PANEL_BTNRUN, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_TRUE(IsVisible(PANEL_STRIPTOP));
    EXPECT_TRUE(IsVisible(PANEL_STRIPBOT));
    EXPECT_FALSE(IsVisible(PANEL_GRAPHTOP));
    EXPECT_FALSE(IsVisible(PANEL_GRAPHBOT));
}
