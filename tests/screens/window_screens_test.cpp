// The window on the screen: a first start opens it whole within the screen's available area
// (frame included) and uses a large screen's room; a remembered place that no longer fits is
// brought back; and the traffic pane, docked below the controls, leaves the status line, the
// link indicator, Stop and the command buttons in view, and the charts' lines follow the
// room it gives back.
#include <gtest/gtest.h>

#include <QAction>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QWidget>

#include "console/startup.h"
#include "console/traffic_pane.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/strip_chart.h"
#include "platform/ui/traffic_view.h"
#include "resources/panel_ids.h"
#include "tests/screens/screen_fixture.h"
#include "tests/screens/trace_pixels.h"
#include "tests/support/shown_rect.h"

using namespace kervano;

namespace {

std::string Text(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
           "x" + std::to_string(r.height());
}

// What the operator must always reach.
std::vector<QWidget*> KeyControls(const QWidget* window) {
    std::vector<QWidget*> controls;
    for (int id : {PANEL_STATUS, PANEL_BTNSTOP, PANEL_BTNRUN, PANEL_BTNDATA, PANEL_BTNSEND,
                   PANEL_BTNGET, PANEL_BUTTONTEACH, PANEL_BUTTONRESET})
        controls.push_back(CtrlWidget(panelHandle, id));
    for (const char* name : {"linkIndicator", "statusHistoryButton"})
        controls.push_back(window->findChild<QWidget*>(QLatin1String(name)));
    return controls;
}

}  // namespace

TEST_F(ScreenTest, FirstStartOpensWholeWithinTheScreen) {
    QRect frame;
    QImage picture;
    RunOnce([&] {
        frame = Window()->frameGeometry();
        picture = Grab("first-start");
        for (QWidget* w : KeyControls(Window())) {
            ASSERT_NE(w, nullptr);
            EXPECT_TRUE(WhollyShown(w, Window())) << w->objectName().toStdString();
            EXPECT_TRUE(picture.rect().contains(ShownRect(w, Window())));
        }
    });
    EXPECT_TRUE(Available().contains(frame)) << Text(frame) << " on " << Text(Available());
    EXPECT_GT(frame.top(), Available().top() - 1) << "the title bar on the screen";
    if (Available().width() >= 1600) {  // a large screen: most of it
        EXPECT_GE(frame.width(), Available().width() * 85 / 100) << Text(frame);
        EXPECT_GE(frame.height(), Available().height() * 85 / 100) << Text(frame);
    }
}

TEST_F(ScreenTest, ARememberedPlaceThatNoLongerFitsIsBroughtOnScreen) {
    // As remembered from a larger screen: bigger than this one, and mostly beyond it.
    RunOnce([&] {
        const QRect room = Available();
        Window()->setGeometry(room.right() - 200, room.bottom() - 100, room.width() + 400,
                              room.height() + 300);
    });
    QRect frame;
    RunOnce([&] {
        frame = Window()->frameGeometry();
        Grab("remembered-elsewhere");
    });
    EXPECT_TRUE(Available().contains(frame)) << Text(frame) << " on " << Text(Available());
}

TEST_F(ScreenTest, TrafficPaneDocksBelowTheControlsAndHidesNone) {
    QRect frame;
    RunOnce([&] {
        ASSERT_TRUE(QTest::qWaitForWindowActive(Window()));
        QTest::keyClick(Window(), Qt::Key_T, Qt::ControlModifier);  // View > Traffic
        QWidget* pane = TrafficPane();
        ASSERT_TRUE(pane != nullptr && pane->isVisible());
        EXPECT_EQ(pane->window(), Window()) << "in the main window, no window of its own";
        QImage picture;
        RunMonitor(0.6, {{0.5, [&] {
                              // The rows of the last tenth of a second, as its timer would.
                              qobject_cast<kvui::TrafficView*>(pane)->takeHeard();
                              picture = Grab("traffic-pane");
                          }}});
        frame = Window()->frameGeometry();
        const QRect paneArea = ShownRect(pane, Window());
        for (QWidget* w : KeyControls(Window())) {
            EXPECT_TRUE(WhollyShown(w, Window())) << w->objectName().toStdString();
            EXPECT_TRUE(picture.rect().contains(ShownRect(w, Window())));
            EXPECT_FALSE(paneArea.intersects(ShownRect(w, Window())))
                << w->objectName().toStdString();
        }
        // Rows to read: at least two lines of the table.
        auto* table = pane->findChild<QTableView*>(QStringLiteral("trafficTable"));
        EXPECT_GT(table->model()->rowCount(), 10);
        EXPECT_GE(table->viewport()->height(), 2 * table->verticalHeader()->defaultSectionSize());

        // Hidden again, the pane gives its room back to the charts, whose lines follow them.
        RunMonitor(0.6, {{0.1, [&] { QTest::keyClick(Window(), Qt::Key_T, Qt::ControlModifier); }},
                         {0.5, [&] { picture = Grab("traffic-pane-hidden"); }}});
        ASSERT_FALSE(pane->isVisible());
        for (int control : {PANEL_STRIPTOP, PANEL_STRIPBOT}) {
            const auto* chart = qobject_cast<StripChart*>(CtrlWidget(panelHandle, control));
            const QRect area = PlotArea(chart, Window());
            const QRect chartArea(chart->mapTo(Window(), QPoint(0, 0)), chart->size());
            const QRect below(area.left(), area.bottom() + 3, area.width(),
                              chartArea.bottom() - area.bottom() - 3);
            const std::vector<int> colours = {VAL_BLUE, VAL_DK_GREEN};
            EXPECT_FALSE(TracePixels(picture, area, colours).empty()) << control;
            EXPECT_TRUE(TracePixels(picture, below, colours).empty())
                << "lines below the plot area of chart " << control;
        }
        QTest::keyClick(Window(), Qt::Key_T, Qt::ControlModifier);  // open as the tool ends
    });
    EXPECT_TRUE(Available().contains(frame)) << Text(frame) << " on " << Text(Available());

    // Remembered open; its own button closes it, and the item follows.
    RunOnce([&] {
        QWidget* pane = TrafficPane();
        ASSERT_TRUE(pane->isVisible());
        pane->findChild<QToolButton*>(QStringLiteral("trafficHide"))->click();
        EXPECT_FALSE(Window()->findChild<QAction*>(QStringLiteral("actionTraffic"))->isChecked());
    });
    RunOnce([&] { EXPECT_FALSE(TrafficPane()->isVisible()); });
}
