// The program labels its charts and read-outs: the strip charts' y title and the unit beside
// the value read-outs follow the view mode at each redraw, the maxima always say theirs, the
// legends name TOP1/TOP2 and BOT1/BOT2, and a capture names its plots.
#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "console/commands.h"
#include "console/startup.h"
#include "link/frame.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "scope/monitor.h"
#include "tests/support/app/panel_fixture.h"
#include "tests/support/ui/ui_readback.h"

using namespace kervano;

using ChartLabelsTest = PanelFixture;

namespace {

// What the operator reads beside a read-out: the label that names it.
std::string LabelBeside(int control) {
    const QWidget* readout = CtrlWidget(panelHandle, control);
    for (const QLabel* label : readout->window()->findChildren<QLabel*>()) {
        if (label->buddy() == readout) return label->text().toStdString();
    }
    return {};
}

}  // namespace

TEST_F(ChartLabelsTest, RedrawTitlesTheStripChartsForTheViewMode) {
    struct Case {
        int mode;
        const char* unit;
        const char* top1;  // the label beside TOP1
        int colour1, colour2;
    };
    const Case cases[] = {
        {0, "raw counts", "TOP1 counts", 0x0000FF, 0x008000},
        {1, "\u2030 of max", "TOP1 \u2030", 0xFF0000, 0x404040},
        {2, "\u2030 of max", "TOP1 \u2030", 0xFF0000, 0x404040},
        {0, "raw counts", "TOP1 counts", 0x0000FF, 0x008000},
    };
    for (const Case& c : cases) {
        SetCtrlVal(panelHandle, PANEL_VIEWMODE, c.mode);
        PlotRAWValues();
        EXPECT_EQ(LabelBeside(PANEL_TOP1), c.top1);
        const std::string unit = std::string(c.top1).substr(5);
        EXPECT_EQ(LabelBeside(PANEL_BOT2), "BOT2 " + unit);
        // The maxima are normalised values in every view.
        EXPECT_EQ(LabelBeside(PANEL_MAXTOP1), "max TOP1 \u2030") << c.mode;
        EXPECT_EQ(LabelBeside(PANEL_MAXBOT2), "max BOT2 \u2030") << c.mode;
        for (auto [chart, name1, name2] : {std::tuple{PANEL_STRIPTOP, "TOP1", "TOP2"},
                                           std::tuple{PANEL_STRIPBOT, "BOT1", "BOT2"}}) {
            EXPECT_EQ(ChartAxisTitle(panelHandle, chart, VAL_LEFT_YAXIS), c.unit) << c.mode;
            EXPECT_EQ(ChartAxisTitle(panelHandle, chart, VAL_XAXIS), "sample");
            EXPECT_EQ(ChartLegend(panelHandle, chart),
                      (std::vector<ChartLegendEntry>{{name1, c.colour1, false},
                                                     {name2, c.colour2, false}}))
                << c.mode;
        }
    }
}

TEST_F(ChartLabelsTest, CaptureNamesTheDataGraphPlots) {
    OpenLine();
    const struct {
        bool blocksAnswered;
        const char* top;
        const char* bot;
    } cases[] = {{true, "TOP data", "BOT data"}, {false, nullptr, nullptr}};
    for (const auto& c : cases) {
        if (!c.blocksAnswered) controller.model().faults.ignoredOrders = {ORDER_DATA};
        CC_BTNData(panelHandle, PANEL_BTNDATA, EVENT_COMMIT, nullptr, 0, 0);
        for (auto [graph, data] :
             {std::pair{PANEL_GRAPHTOP, c.top}, std::pair{PANEL_GRAPHBOT, c.bot}}) {
            std::vector<std::string> expected{"tolerance limit", "hysteresis limit", "reference"};
            if (data) expected.insert(expected.begin() + 2, data);  // no curve, no entry
            std::vector<std::string> names;
            for (const ChartLegendEntry& e : ChartLegend(panelHandle, graph))
                names.push_back(e.text);
            EXPECT_EQ(names, expected);
            EXPECT_EQ(ChartAxisTitle(panelHandle, graph, VAL_LEFT_YAXIS), "\u2030 of max");
            EXPECT_EQ(ChartAxisTitle(panelHandle, graph, VAL_XAXIS), "sample");
        }
    }
}
