// View > Line figures after a live monitor run on the emulator, one of whose replies never
// comes: the counts match the frames on the line, the rate is the monitor's own.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <algorithm>

#include "console/commands.h"
#include "console/line_figures_window.h"
#include "console/menus.h"
#include "console/startup.h"
#include "link/frame.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "tests/support/app/panel_fixture.h"

using namespace kervano;

namespace {

QWidget* FiguresWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "lineFiguresWindow") return w;
    return nullptr;
}

std::string Figure(int row) {
    QWidget* window = FiguresWindow();
    auto* label = window ? window->findChild<QLabel*>(QStringLiteral("lineFigure%1").arg(row))
                         : nullptr;
    return label ? label->text().toStdString() : "(none)";
}

}  // namespace

TEST_F(PanelFixture, LineFiguresCountTheRunAndItsMissingReply) {
    InstallPanelMenus();
    InstallLineFiguresCommand();
    OpenLine();
    ResetLineFigures();
    QAction* open = PanelWidget(panelHandle)->findChild<QAction*>("actionLineFigures");
    ASSERT_NE(open, nullptr);
    open->trigger();
    ASSERT_NE(FiguresWindow(), nullptr);
    EXPECT_EQ(Figure(2), "0");

    int monitorRequests = 0;
    controller.setReplyHook([&](int order, const uint16_t*, sim::Reply& reply) {
        // The thirtieth monitor reply never comes: the run ends on its time-out.
        if (order == ORDER_MONITOR && ++monitorRequests == 30) reply.bytes.clear();
    });
    const double start = line.now();
    CC_BTNRun(panelHandle, PANEL_BTNRUN, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(monitorRequests, 30);

    // Opened again: the figures since it was first shown.
    FiguresWindow()->hide();
    const double elapsed = line.now() - start;
    open->trigger();
    EXPECT_EQ(Figure(2), "30");  // frames sent
    EXPECT_EQ(Figure(3), "29");  // replies
    EXPECT_EQ(Figure(4), "1");   // missing
    // Thirty frames over the run and its time-out.
    EXPECT_NEAR(std::stod(Figure(0)), 30 / elapsed, 0.1) << elapsed;
    EXPECT_NE(Figure(6), "-");
}
