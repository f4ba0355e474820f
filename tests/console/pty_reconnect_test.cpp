// The device behind COM1 goes away and comes back, with kervano-sim on real ptys reached
// through a symbolic link pinned as COM1: the tool shows the loss and comes back by itself.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <sstream>

#include "console/link_reconnect.h"
#include "console/port_watch.h"
#include "console/startup.h"
#include "link/link_state.h"
#include "platform/serial/com_service.h"
#include "platform/serial/port_table.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "tests/support/app/run_program.h"
#include "tests/support/child_process.h"
#include "tests/support/test_pty.h"

using namespace kervano;

namespace {

std::unique_ptr<ChildProcess> StartSim(const char* firmware, std::string& device) {
    auto sim = std::make_unique<ChildProcess>(
        KV_BIN_DIR "/kervano-sim",
        std::vector<std::string>{"--baud", "19200", "--log", "--firmware", firmware});
    device = sim->started() ? sim->firstLine() : "";
    return sim;
}

std::vector<int> Orders(const std::string& log) {
    std::vector<int> orders;
    std::istringstream in(log);
    std::string word;
    int order = 0, w0 = 0;
    while (in >> word >> order >> w0)
        if (word == "frame") orders.push_back(order);
    return orders;
}

std::string IndicatorText() {
    auto* label = PanelWidget(panelHandle)->findChild<QLabel*>(QStringLiteral("linkIndicator"));
    return label != nullptr ? label->text().toStdString() : "";
}

}  // namespace

TEST(PtyReconnect, UnpluggedAndBackUnderTheSameLinkWithoutAnyOperatorAction) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string link = dir.filePath(QStringLiteral("controller")).toStdString();
    std::string first, second;
    auto simA = StartSim("FIRST 1", first);
    // The second controller's pty exists before the first goes, so it cannot take the
    // first one's name: only the link leads the tool to it.
    auto simB = StartSim("SECOND 2", second);
    ASSERT_EQ(first.rfind("/dev/", 0), 0u) << first;
    ASSERT_EQ(second.rfind("/dev/", 0), 0u) << second;
    ASSERT_TRUE(PointLink(link, first));

    SetComService(nullptr);
    PortTablePin(1, link, "kervano-sim");
    SetPortWatchInterval(50);
    StartPortWatch();

    std::string startTitle, startIndicator, goneIndicator, goneStatus, backStatus, backTitle;
    bool gone = false, back = false;
    std::string duringRunLog;
    EXPECT_EQ(RunProgram([&] {
                  startTitle = PanelWidget(panelHandle)->window()->windowTitle().toStdString();
                  startIndicator = IndicatorText();

                  // The device node goes away with the device. (A link left to the dead
                  // pty could lead to any pty that takes its number next.)
                  PointLink(link, "/dev/kervano-away");
                  simA->finish(SIGKILL);  // its pty master closes with it
                  gone = QTest::qWaitFor([] { return linkState == LINK_PORT_CLOSED; }, 3000);
                  QTest::qWait(120);  // a few idle turns: the loss is said once
                  goneIndicator = IndicatorText();
                  goneStatus = StatusLineText();

                  // The device comes back while a run is going on: it waits for the run.
                  WhilePanelLater(100, [&] { PointLink(link, second); });
                  WhilePanelLater(500, [] { ClickControl(PANEL_BTNSTOP); });
                  ClickControl(PANEL_BTNRUN);
                  duringRunLog = simB->readAll(false, 0.05);

                  back = QTest::qWaitFor(
                      [] { return linkState == LINK_ANSWERING && StatusLineText() == "SECOND 2"; },
                      5000);
                  backStatus = StatusLineText();
                  backTitle = PanelWidget(panelHandle)->window()->windowTitle().toStdString();
              }),
              0);
    StopPortWatch();
    SetPortWatchInterval(2000);
    PortTableClearPins();

    EXPECT_EQ(startIndicator, "Answering");
    EXPECT_EQ(startTitle, "kervano-scope \u2014 COM1 " + link);
    ASSERT_TRUE(gone) << "the pty's hang-up was not noticed";
    EXPECT_EQ(goneIndicator, "Port closed");
    EXPECT_EQ(goneStatus, kDeviceGoneText);
    EXPECT_TRUE(Orders(duringRunLog).empty()) << "nothing reopened inside the run";
    ASSERT_TRUE(back) << backStatus;
    EXPECT_EQ(backTitle, startTitle);
    EXPECT_EQ(Orders(duringRunLog + simB->readAll(false, 0.2)), (std::vector<int>{5, 2, 2, 7}))
        << "echo, both parameter packets, firmware: the whole set-up, once";
}
