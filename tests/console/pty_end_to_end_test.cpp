// The whole program against kervano-sim on a real pseudo-terminal, through the host serial
// back end, with the operator's actions made on the real panel (offscreen).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QComboBox>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "console/startup.h"
#include "link/data_block.h"
#include "link/port_setup.h"
#include "params/param_set.h"
#include "platform/serial/com_service.h"
#include "platform/serial/port_table.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "scope/monitor.h"
#include "tests/support/app/run_program.h"
#include "tests/support/child_process.h"
#include "tests/support/sim_program.h"
#include "tests/support/ui/ui_readback.h"

using namespace kervano;

namespace {

// kervano-sim paced like a real 19200-baud line, logging every request it takes in.
class EndToEndTest : public ::testing::Test {
  protected:
    void StartSim(const std::vector<std::string>& faults = {}) {
        sim = std::make_unique<SimProgram>(faults);
        ASSERT_TRUE(sim->started());
        device = sim->device();
        SetComService(nullptr);
        PortTableClearPins();
        PortTablePin(1, device, "kervano-sim");
    }
    void TearDown() override { PortTableClearPins(); }

    // The (order, word 0) of every request kervano-sim took in so far.
    std::vector<std::pair<int, int>> Requests() { return sim->requests(); }
    static std::string Status() { return StatusLineText(); }
    static unsigned Value(int control) {
        unsigned short v = 0;
        GetCtrlVal(panelHandle, control, &v);
        return v;
    }
    static void ClickLater(int ms, int control) {
        WhilePanelLater(ms, [control] { ClickControl(control); });
    }

    std::unique_ptr<SimProgram> sim;
    std::string device;
};

}  // namespace

TEST_F(EndToEndTest, StartUpReadsTheControllerAndShowsItsFirmware) {
    StartSim({"--param", "4=777", "--firmware", "E2E 1.31"});
    std::string status;
    unsigned refShown = 0;
    EXPECT_EQ(RunProgram([&] {
                  status = Status();
                  refShown = Value(PANEL_REFTOP);
              }),
              0);
    EXPECT_EQ(status, "E2E 1.31");
    EXPECT_EQ(refShown, 777u);
    const auto requests = Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0], (std::pair<int, int>{5, 0}));
    EXPECT_EQ(requests[1], (std::pair<int, int>{2, 0}));
    EXPECT_EQ(requests[2], (std::pair<int, int>{2, 1}));
    EXPECT_EQ(requests[3].first, 7);
}

TEST_F(EndToEndTest, RunScrollsBothChartsUntilStop) {
    StartSim();
    std::string status;
    int topPoints = 0, botPoints = 0;
    bool locksFree = false;
    unsigned count = 0;
    EXPECT_EQ(RunProgram([&] {
                  ClickLater(1000, PANEL_BTNSTOP);
                  ClickControl(PANEL_BTNRUN);  // returns when Stop has ended the loop
                  status = Status();
                  topPoints = StripChartPointCount(panelHandle, PANEL_STRIPTOP, 1);
                  botPoints = StripChartPointCount(panelHandle, PANEL_STRIPBOT, 2);
                  int run = 1, data = 1;
                  GetCtrlAttribute(panelHandle, PANEL_RUNLOCK, ATTR_DIMMED, &run);
                  GetCtrlAttribute(panelHandle, PANEL_DATALOCK, ATTR_DIMMED, &data);
                  locksFree = run == 0 && data == 0;
                  count = Value(PANEL_COUNT);
              }),
              0);
    EXPECT_EQ(status, "Line Ok!");
    // The second's replies, and only those: no cleared history before them (counted against
    // the requests below, not the clock, so a slow machine draws fewer but all).
    EXPECT_GT(topPoints, 5);
    EXPECT_EQ(botPoints, topPoints);
    EXPECT_TRUE(locksFree);
    EXPECT_EQ(count, cntTRUV);
    const auto requests = Requests();
    int monitor = 0;
    for (const auto& r : requests) monitor += r.first == 8;
    // One request outstanding at a time, and each exchange takes 37.5 ms at 19200 baud
    // (36 bytes each way): the line's pace, at most ~27 exchanges a second.
    EXPECT_GT(monitor, 5);
    EXPECT_LT(monitor, 60);
    EXPECT_LE(topPoints, monitor) << "one point per reply since Run";
    EXPECT_GE(topPoints, monitor - 1) << "every reply drawn; the last request may be unanswered";
}

TEST_F(EndToEndTest, SendToEepromThenGetBringsTheValuesBack) {
    StartSim();
    std::string afterSend, afterGet;
    unsigned refBotShown = 0, holdShown = 0;
    EXPECT_EQ(RunProgram([&] {
                  ClickControl(PANEL_RBTEEPROM);
                  auto* refBot = qobject_cast<QSpinBox*>(CtrlWidget(panelHandle, PANEL_REFBOT));
                  auto* holdBox = qobject_cast<QSpinBox*>(CtrlWidget(panelHandle, PANEL_HOLD));
                  refBot->setValue(654);
                  holdBox->setValue(65535);
                  ClickControl(PANEL_BTNSEND);
                  afterSend = Status();
                  // An operator's next click comes well after the frame left: Get starts by
                  // flushing the output queue, which would drop a frame still in it.
                  QTest::qWait(100);
                  refBot->setValue(1);
                  holdBox->setValue(2);
                  ClickControl(PANEL_BTNGET);
                  afterGet = Status();
                  refBotShown = Value(PANEL_REFBOT);
                  holdShown = Value(PANEL_HOLD);
              }),
              0);
    EXPECT_EQ(afterSend, "Parameters sent to EEPROM");
    EXPECT_EQ(afterGet, "Parameters read from EEPROM");
    EXPECT_EQ(refBotShown, 654u);
    EXPECT_EQ(holdShown, 65535u);
    const auto requests = Requests();
    ASSERT_GE(requests.size(), 8u) << log;
    EXPECT_EQ(requests[4], (std::pair<int, int>{3, 0}));
    EXPECT_EQ(requests[5], (std::pair<int, int>{3, 1}));
    EXPECT_EQ(requests[6], (std::pair<int, int>{4, 0}));
    EXPECT_EQ(requests[7], (std::pair<int, int>{4, 1}));
}

TEST_F(EndToEndTest, TeachShowsTheReferencesTheControllerNowHolds) {
    StartSim();
    std::string status;
    unsigned refShown = 0, refRead = 0;
    EXPECT_EQ(RunProgram([&] {
                  ClickControl(PANEL_BUTTONTEACH);
                  status = Status();
                  refShown = Value(PANEL_REFTOP);
                  refRead = refTOP;
              }),
              0);
    EXPECT_EQ(status, "Parameter-frame received! - Line Ok!");
    EXPECT_EQ(refShown, refRead) << "the panel shows the reference read back";
    const auto requests = Requests();
    ASSERT_GE(requests.size(), 6u);
    EXPECT_EQ(requests[4].first, 6);
    EXPECT_EQ(requests[5], (std::pair<int, int>{2, 0}));
}

TEST_F(EndToEndTest, DataCaptureDrawsBothCurvesWithCursors) {
    StartSim();
    int topPlots = 0, botPlots = 0;
    size_t topPoints = 0;
    bool cursors = false;
    std::string status;
    EXPECT_EQ(RunProgram([&] {
                  ClickControl(PANEL_BTNDATA);
                  status = Status();
                  topPlots = GraphPlotCount(panelHandle, PANEL_GRAPHTOP);
                  botPlots = GraphPlotCount(panelHandle, PANEL_GRAPHBOT);
                  topPoints = GraphPlotPoints(panelHandle, PANEL_GRAPHTOP, 2).size();
                  cursors = GraphCursorDrawn(panelHandle, PANEL_GRAPHTOP) ||
                            GraphCursorDrawn(panelHandle, PANEL_GRAPHBOT);
              }),
              0);
    EXPECT_EQ(status, "Data[64] block received!");
    EXPECT_EQ(topPlots, 4);
    EXPECT_EQ(botPlots, 4);
    EXPECT_EQ(topPoints, 128u);
    EXPECT_TRUE(cursors);
    int nonZero = 0;
    for (int i = 0; i < 128; ++i) nonZero += (yArrayA[i] != 0) + (yArrayB[i] != 0);
    EXPECT_GT(nonZero, 200);
}

TEST_F(EndToEndTest, ChoosingAPortRunsTheSetUpForEachEvent) {
    StartSim();
    PortTablePin(2, device, "kervano-sim again");
    std::string status;
    EXPECT_EQ(RunProgram([&] {
                  auto* combo = qobject_cast<QComboBox*>(CtrlWidget(panelHandle, PANEL_DROPDCOM));
                  const int index = combo->findData(2);
                  ASSERT_GE(index, 0);
                  combo->setCurrentIndex(index);
                  emit combo->activated(index);  // as a choice with the mouse or keyboard
                  status = Status();
              }),
              0);
    EXPECT_EQ(com, 2);
    EXPECT_EQ(status, "SIM 1.31");
    std::vector<int> orders;
    for (const auto& r : Requests()) orders.push_back(r.first);
    EXPECT_EQ(orders, (std::vector<int>{5, 2, 2, 7, 5, 2, 2, 7, 5, 2, 2, 7}));
}

TEST_F(EndToEndTest, SilentLineShowsTheTimeoutAfterAboutTwoSeconds) {
    StartSim({"--silent"});
    std::string status;
    const auto start = std::chrono::steady_clock::now();
    double shownAfter = 0;
    EXPECT_EQ(
        RunProgram([&] {
            shownAfter =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            status = Status();
        }),
        0);
    EXPECT_EQ(status, "Timeout < 36 Bytes");
    EXPECT_GT(shownAfter, 2.0);
    // One wait, not two: a second would add another two seconds. The bound leaves room for
    // the panel's own start, which takes up to two seconds in a sanitized build on a busy
    // machine.
    EXPECT_LT(shownAfter, 6.0);
}

TEST_F(EndToEndTest, MissingDeviceIsReported) {
    SetComService(nullptr);
    // COM1 pinned to a path that leads nowhere, and COM1 on a machine without serial devices.
    const std::function<void()> machines[] = {
        [] { PortTablePin(1, "/dev/kervano-no-such-device"); },
        [] { PortTableSetScan([] { return std::vector<PortEntry>{}; }); },
    };
    for (const auto& machine : machines) {
        PortTableClearPins();
        machine();
        std::string status;
        EXPECT_EQ(RunProgram([&] { status = Status(); }), 0);
        EXPECT_EQ(status, "No serial port found");
    }
    PortTableSetScan({});
}

TEST(ProgramExit, MissingPanelResourceEndsWithoutAWindow) {
    // The program beside no resource file.
    char dir[] = "/tmp/kv-noresource-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string copy = std::string(dir) + "/kervano-scope";
    ASSERT_EQ(std::system(("cp " KV_BIN_DIR "/kervano-scope " + copy).c_str()), 0);
    ChildProcess program(copy, {"--port", "1=/dev/kervano-no-such-device"},
                         {"QT_QPA_PLATFORM=offscreen"});
    const std::string errors = program.readAll(true, 10.0);
    const int status = program.finish(0, 10.0);
    std::system(("rm -rf " + std::string(dir)).c_str());
    ASSERT_NE(status, -1) << "the program did not end by itself";
    EXPECT_TRUE(ExitedWith(status, 255));  // start-up's -1
    // One line names both places looked in: beside the program, then the installed data.
    const std::string beside = std::string(dir) + "/KERVANO1trgV13.ui, ";
    EXPECT_NE(errors.find(beside + "/tmp/share/kervano-scope/KERVANO1trgV13.ui)"),
              std::string::npos)
        << errors;
}

TEST(ProgramExit, NoDisplayEndsAsAFailedStartWithOneLineSayingWhy) {
    // No display at all, a display that is not there, a platform that does not exist.
    const struct {
        std::vector<std::string> environment;
        const char* why;
    } cases[] = {
        {{"QT_QPA_PLATFORM=", "DISPLAY=", "WAYLAND_DISPLAY="}, "no display (DISPLAY is not set)"},
        {{"QT_QPA_PLATFORM=xcb", "DISPLAY=:97"}, "could not connect to display :97"},
        {{"QT_QPA_PLATFORM=no-such-platform"}, "no-such-platform"},
    };
    for (const auto& c : cases) {
        ChildProcess program(KV_BIN_DIR "/kervano-scope", {}, c.environment);
        const std::string errors = program.readAll(true, 10.0);
        EXPECT_TRUE(ExitedWith(program.finish(0, 5.0), 255)) << c.why;
        EXPECT_NE(errors.find(c.why), std::string::npos) << errors;
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    }
}

TEST(ProgramExit, HelpAndVersion) {
    ChildProcess help(KV_BIN_DIR "/kervano-scope", {"--help"});
    EXPECT_NE(help.readAll(false, 5.0).find("--port N=DEVICE"), std::string::npos);
    EXPECT_TRUE(ExitedWith(help.finish(0, 5.0), 0));
    ChildProcess bad(KV_BIN_DIR "/kervano-scope", {"--port", "x"});
    EXPECT_TRUE(ExitedWith(bad.finish(0, 5.0), 2));
}
