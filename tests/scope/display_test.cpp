// One monitor reply on the real panel: strip charts, read-outs, colours and LEDs.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QTest>
#include <QWidget>

#include "console/startup.h"
#include "link/frame.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/strip_chart.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "scope/leds.h"
#include "scope/monitor.h"
#include "scope/monitor_traces.h"
#include "tests/support/app/panel_fixture.h"
#include "tests/support/contrast.h"
#include "tests/support/ui/ui_readback.h"

using namespace kervano;

namespace {

class DisplayTest : public PanelFixture {
  protected:
    void Reply(std::initializer_list<unsigned short> words) {
        int k = 0;
        for (unsigned short w : words) pp[k++] = w;
        while (k < 16) pp[k++] = 0;
        PlotRAWValues();
    }
    int TextColour(int control) {
        int colour = -1;
        GetCtrlAttribute(panelHandle, control, ATTR_TEXT_COLOR, &colour);
        return colour;
    }
    int Led(int control) { return static_cast<int>(CtrlValue(control)); }
};

}  // namespace

// Pairs the history was filled with were never received: the traces hold the replies alone.
TEST_F(DisplayTest, TracesHoldOnlyTheRepliesSinceTheyStarted) {
    FillarrayRAW(1, 2, 3, 4);
    StartMonitorTraces();
    for (int control : {PANEL_STRIPTOP, PANEL_STRIPBOT})
        for (int trace : {1, 2}) EXPECT_EQ(StripChartPointCount(panelHandle, control, trace), 0);
    Reply({11, 22, 33, 44});
    Reply({12, 23, 34, 45});
    EXPECT_EQ(StripChartTrace(panelHandle, PANEL_STRIPTOP, 1), (std::vector<double>{11, 12}));
    EXPECT_EQ(StripChartTrace(panelHandle, PANEL_STRIPTOP, 2), (std::vector<double>{22, 23}));
    EXPECT_EQ(StripChartTrace(panelHandle, PANEL_STRIPBOT, 1), (std::vector<double>{33, 34}));
    EXPECT_EQ(StripChartTrace(panelHandle, PANEL_STRIPBOT, 2), (std::vector<double>{44, 45}));
}

TEST_F(DisplayTest, HistoryScrollsOnePairPerReply) {
    FillarrayRAW(0, 0, 0, 0);
    for (unsigned short i = 1; i <= 150; ++i) Reply({i, static_cast<unsigned short>(i + 1000)});
    EXPECT_EQ(arrayRAWTOP[0], 51.0) << "the oldest pair dropped out";
    EXPECT_EQ(arrayRAWTOP[199], 1150.0);
    const auto trace = StripChartTrace(panelHandle, PANEL_STRIPTOP, 1);
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.back(), 150.0);
}

TEST_F(DisplayTest, RawAndNormalisedModesPickWordsAndColours) {
    // Before the first reply the traces (and so their legends) already wear raw-mode colours.
    for (int control : {PANEL_STRIPTOP, PANEL_STRIPBOT}) {
        EXPECT_EQ(TraceColor(panelHandle, control, 1), 0x0000FF);
        EXPECT_EQ(TraceColor(panelHandle, control, 2), 0x008000);
    }
    SetCtrlVal(panelHandle, PANEL_VIEWMODE, 0);
    Reply({1, 2, 3, 4, 501, 502, 503, 504, 9, 9, 9, 9, 5, 0, 0, 10});
    EXPECT_EQ(CtrlValue(PANEL_TOP1), 1u);
    EXPECT_EQ(CtrlValue(PANEL_BOT2), 4u);
    EXPECT_EQ(TraceColor(panelHandle, PANEL_STRIPTOP, 1), 0x0000FF);
    EXPECT_EQ(TraceColor(panelHandle, PANEL_STRIPBOT, 2), 0x008000);
    EXPECT_EQ(TextColour(PANEL_TOP1), 0x0000FF);
    EXPECT_EQ(TextColour(PANEL_BOT2), 0x008000);

    SetCtrlVal(panelHandle, PANEL_VIEWMODE, 1);
    Reply({1, 2, 3, 4, 501, 502, 503, 504, 9, 9, 9, 9, 5, 0, 0, 10});
    EXPECT_EQ(CtrlValue(PANEL_TOP1), 501u);
    EXPECT_EQ(CtrlValue(PANEL_BOT2), 504u);
    EXPECT_EQ(TraceColor(panelHandle, PANEL_STRIPTOP, 1), 0xFF0000);
    EXPECT_EQ(TraceColor(panelHandle, PANEL_STRIPBOT, 2), 0x404040);
    EXPECT_EQ(TextColour(PANEL_BOT1), 0xFF0000);
    EXPECT_EQ(TextColour(PANEL_TOP2), 0x404040);
    // The first reply is drawn again in the new unit: no trace mixes raw and normalised.
    EXPECT_EQ(StripChartTrace(panelHandle, PANEL_STRIPTOP, 1), (std::vector<double>{501, 501}));
    EXPECT_EQ(StripChartTrace(panelHandle, PANEL_STRIPBOT, 2), (std::vector<double>{504, 504}));
    EXPECT_EQ(arrayRAWTOP[198], 1.0) << "the raw history is kept for a switch back";
}

// Measured on the drawn panel: each trace against what its chart's plot area is painted in,
// each value read-out against its box. The colours keep their meaning: raw trace 2 is green.
TEST_F(DisplayTest, EveryTraceAndReadOutStandsOutFromItsBackground) {
    DisplayPanel(panelHandle);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(PanelWidget(panelHandle)));
    constexpr double kLeast = 3.0;
    for (int mode : {0, 1}) {
        SetCtrlVal(panelHandle, PANEL_VIEWMODE, mode);
        Reply({1, 2, 3, 4, 501, 502, 503, 504});
        for (int control : {PANEL_STRIPTOP, PANEL_STRIPBOT}) {
            auto* chart = qobject_cast<StripChart*>(CtrlWidget(panelHandle, control));
            ASSERT_NE(chart, nullptr);
            const QRect area =
                chart->mapFromScene(chart->chart()->mapToScene(chart->chart()->plotArea()))
                    .boundingRect();
            const int background = CommonestColour(chart->grab().toImage().copy(area));
            for (int trace : {1, 2}) {
                const int colour = TraceColor(panelHandle, control, trace);
                EXPECT_GE(ContrastRatio(colour, background), kLeast)
                    << std::hex << "trace " << trace << " 0x" << colour << " on 0x" << background;
            }
        }
        for (int control : {PANEL_TOP1, PANEL_TOP2, PANEL_BOT1, PANEL_BOT2}) {
            const int background =
                CommonestColour(CtrlWidget(panelHandle, control)->grab().toImage());
            EXPECT_GE(ContrastRatio(TextColour(control), background), kLeast)
                << std::hex << "read-out 0x" << TextColour(control) << " on 0x" << background;
        }
    }
    SetCtrlVal(panelHandle, PANEL_VIEWMODE, 0);
    Reply({1, 2, 3, 4});
    const int hue =
        QColor::fromRgb(static_cast<QRgb>(TraceColor(panelHandle, PANEL_STRIPTOP, 2))).hue();
    EXPECT_TRUE(hue >= 90 && hue <= 150) << "a green, hue " << hue;
}

TEST_F(DisplayTest, MaximaCountAndIndexAreShownInBothModes) {
    for (int mode : {0, 2}) {
        SetCtrlVal(panelHandle, PANEL_VIEWMODE, mode);
        Reply({0, 0, 0, 0, 0, 0, 0, 0, 810, 820, 830, 840, 65535, 7, 0, 99});
        EXPECT_EQ(CtrlValue(PANEL_MAXTOP1), 810u);
        EXPECT_EQ(CtrlValue(PANEL_MAXBOT2), 840u);
        EXPECT_EQ(CtrlValue(PANEL_COUNT), 65535u) << "never -1";
        EXPECT_EQ(CtrlValue(PANEL_INDEXA), 99u);
    }
}

TEST_F(DisplayTest, IndexIsLimitedTo128) {
    for (unsigned short index : {200, 128, 0, 65535}) {
        Reply({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, index});
        const unsigned expected = index > 128 ? 128 : index;
        EXPECT_EQ(indexA, expected);
        EXPECT_EQ(CtrlValue(PANEL_INDEXA), expected);
    }
}

TEST_F(DisplayTest, FullScaleWordIsPositiveEverywhere) {
    SetCtrlVal(panelHandle, PANEL_VIEWMODE, 0);
    Reply({65535});
    EXPECT_EQ(arrayRAWTOP[198], 65535.0);
    EXPECT_EQ(CtrlValue(PANEL_TOP1), 65535u);
}

TEST_F(DisplayTest, LedsFollowTheInputStateTable) {
    const int led1[] = {0, 1, 1, 1, 0, 1, 1, 1};
    const int led2[] = {0, 0, 0, 0, 1, 1, 1, 1};
    for (int state = 0; state < 8; ++state) {
        setLEDs(state);
        EXPECT_EQ(Led(PANEL_LED1), led1[state]) << state;
        EXPECT_EQ(Led(PANEL_LED2), led2[state]) << state;
    }
}

TEST_F(DisplayTest, StatesAbove7LeaveTheLedsAlone) {
    setLEDs(4);
    for (int state : {8, 9, 0xFFFF}) {
        setLEDs(state);
        EXPECT_EQ(Led(PANEL_LED1), 0) << state;
        EXPECT_EQ(Led(PANEL_LED2), 1) << state;
    }
    setLEDs(0x10005);  // only the low 16 bits count: 5
    EXPECT_EQ(Led(PANEL_LED1), 1);
}
