// Start-up: the first values of all state, the panel's own initial values, and the
// program's whole life from panel load to exit.
#include "console/startup.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "link/data_block.h"
#include "link/frame.h"
#include "link/port_setup.h"
#include "params/param_set.h"
#include "params/param_table.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "scope/data_graphs.h"
#include "tests/support/app/panel_fixture.h"
#include "tests/support/app/run_program.h"
#include "tests/support/ui/ui_readback.h"

using namespace kervano;

namespace {

class StartupTest : public PanelFixture {};

}  // namespace

TEST_F(StartupTest, InitVarsGivesEveryFirstValue) {
    com = 4;
    target = DATFILE;
    order = 9;
    rx_flag = 0;
    stop_flag = 0;
    yArrayA[5] = 9;
    SetCtrlVal(panelHandle, PANEL_RBTFILE, 1);  // the buttons are not read
    InitVars();
    EXPECT_EQ(com, 1);
    EXPECT_EQ(target, RAM);
    EXPECT_EQ(order, 1);
    EXPECT_EQ(kervano::sync, 85);
    EXPECT_EQ(rx_flag, 1);
    EXPECT_EQ(stop_flag, 1);
    EXPECT_EQ(xArray[0], 1);
    EXPECT_EQ(xArray[255], 256);
    EXPECT_EQ(yArrayA[5], 0);
    EXPECT_FALSE(IsVisible(PANEL_GRAPHTOP));
    EXPECT_FALSE(IsVisible(PANEL_GRAPHBOT));
    int cursors = -1;
    GetCtrlAttribute(panelHandle, PANEL_GRAPHTOP, ATTR_NUM_CURSORS, &cursors);
    EXPECT_EQ(cursors, 0);
    EXPECT_EQ(StatusText(), "InitVars");
}

TEST_F(StartupTest, PanelInitialValuesAreTheDefaults) {
    // In packet order: the full packet's fifteen, then the short packet's three.
    const unsigned short defaults[kParameterCount] = {500, 500, 500, 500, 500, 50, 50, 950, 950,
                                                      10,  10,  0,   1,   0,   1,  0,  0,   100};
    InitVars();
    for (int p = 0; p < kParameterCount; ++p)
        EXPECT_EQ(*kParameterTable[p].variable, defaults[p]) << kParameterTable[p].name;
}

TEST_F(StartupTest, PanelValuesReplaceTheDefaults) {
    SetCtrlVal(panelHandle, PANEL_REFTOP, 700u);
    InitVars();
    EXPECT_EQ(refTOP, 700);
}

TEST_F(StartupTest, ClosingThePanelStopsClosesThePortAndQuits) {
    OpenLine();
    stop_flag = 0;
    CC_PANEL(panelHandle, EVENT_CLOSE, nullptr, 0, 0);
    EXPECT_EQ(stop_flag, 1);
    EXPECT_FALSE(line.isOpen(com));
    CC_PANEL(panelHandle, EVENT_COMMIT, nullptr, 0, 0);  // other events: nothing
    EXPECT_EQ(CC_POPUP(panelPopUp, EVENT_CLOSE, nullptr, 0, 0), 0);
}

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override { SetComService(&line); }
    void TearDown() override { SetComService(nullptr); }
    SimLine line;
    SimController controller{line};
};

TEST_F(ProgramTest, LifeFromLoadToExitOnAnsweringController) {
    controller.model().ram[0][4] = 777;
    std::string status;
    unsigned short shown = 0;
    bool visible = false;
    const int code = RunProgram([&] {
        status = StatusLineText();
        GetCtrlVal(panelHandle, PANEL_REFTOP, &shown);
        int v = 0;
        GetCtrlAttribute(panelHandle, PANEL_STATUS, ATTR_VISIBLE, &v);
        visible = v != 0;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(controller.orders(), (std::vector<int>{5, 2, 2, 7}));
    EXPECT_EQ(status, controller.model().firmwareText);
    EXPECT_EQ(shown, 777);
    EXPECT_TRUE(visible);
    EXPECT_FALSE(line.isOpen(1));
}

TEST_F(ProgramTest, SilentControllerLeavesTheTimeoutTextAndStillExitsCleanly) {
    controller.model().faults.silent = true;
    std::string status;
    const int code = RunProgram([&] { status = StatusLineText(); });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(status, "Timeout < 36 Bytes");
    EXPECT_NEAR(line.now(), 2.05, 0.01);
}

TEST_F(ProgramTest, MissingDeviceIsReportedAndTheToolKeepsRunning) {
    line.setOpenResult(1, kComNoSerialPort, "No such file or directory");
    std::string status;
    const int code = RunProgram([&] { status = StatusLineText(); });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(status, "No serial port found");
    EXPECT_TRUE(line.writes().empty());
}
