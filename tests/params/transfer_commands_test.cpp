// Target buttons, Send and Get against the emulator on the simulated line.
#include "params/transfer_commands.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <functional>

#include "console/startup.h"
#include "link/frame.h"
#include "link/port_setup.h"
#include "link/transactions.h"
#include "params/param_set.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "tests/support/app/panel_fixture.h"

using namespace kervano;

namespace {

class TransferTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        OpenLine();
    }
    int Radio(int control) {
        int v = -1;
        GetCtrlVal(panelHandle, control, &v);
        return v;
    }
    void Click(CtrlCallbackPtr cb, int control, int value) {
        SetCtrlVal(panelHandle, control, value);
        cb(panelHandle, control, EVENT_VAL_CHANGED, nullptr, 0, 0);
    }
    // A mouse click: the press, then the commit of the release.
    void Send() {
        CC_BTNSend(panelHandle, PANEL_BTNSEND, EVENT_LEFT_CLICK, nullptr, 0, 0);
        CC_BTNSend(panelHandle, PANEL_BTNSEND, EVENT_COMMIT, nullptr, 0, 0);
    }
    void Get() {
        CC_BTNGet(panelHandle, PANEL_BTNGET, EVENT_LEFT_CLICK, nullptr, 0, 0);
        CC_BTNGet(panelHandle, PANEL_BTNGET, EVENT_COMMIT, nullptr, 0, 0);
    }
};

}  // namespace

TEST_F(TransferTest, ExactlyOneTargetButtonIsLit) {
    EXPECT_EQ(Radio(PANEL_RBTRAM), 1);
    EXPECT_EQ(Radio(PANEL_RBTEEPROM), 0);
    Click(CC_RBTEeprom, PANEL_RBTEEPROM, 1);
    EXPECT_EQ(target, EEPROM);
    EXPECT_EQ(Radio(PANEL_RBTRAM), 0);
    Click(CC_RBTFile, PANEL_RBTFILE, 1);
    EXPECT_EQ(target, DATFILE);
    EXPECT_EQ(Radio(PANEL_RBTEEPROM), 0);
    EXPECT_EQ(Radio(PANEL_RBTFILE), 1);
    Click(CC_RBTFile, PANEL_RBTFILE, 0);  // switching the lit one off falls back to RAM
    EXPECT_EQ(target, RAM);
    EXPECT_EQ(Radio(PANEL_RBTRAM), 1);
    Click(CC_RBTRam, PANEL_RBTRAM, 0);  // RAM cannot be switched off
    EXPECT_EQ(target, RAM);
    EXPECT_EQ(Radio(PANEL_RBTRAM), 1);
}

TEST_F(TransferTest, SendToEepromWritesBothPacketsATenthApart) {
    target = EEPROM;
    SetCtrlVal(panelHandle, PANEL_REFBOT, 654u);
    SetCtrlVal(panelHandle, PANEL_HOLD, 65535u);
    Send();
    ASSERT_EQ(controller.orders(), (std::vector<int>{3, 3}));
    const auto& r = controller.requests();
    EXPECT_EQ(r[0].payload[0], 0);
    EXPECT_EQ(r[0].payload[5], 654);
    EXPECT_EQ(r[1].payload[0], 1);
    EXPECT_EQ(r[1].payload[3], 65535);
    EXPECT_NEAR(r[1].time - r[0].time, 0.1, 1e-9);
    EXPECT_EQ(StatusText(), "Parameters sent to EEPROM");
    EXPECT_EQ(controller.model().eeprom[0][5], 654);
    EXPECT_EQ(controller.model().ram[1][3], 65535);
}

TEST_F(TransferTest, SendToRamUsesOrder1AndShowsEachStep) {
    Send();
    EXPECT_EQ(controller.orders(), (std::vector<int>{1, 1}));
    EXPECT_EQ(TakeStatusHistory(),
              (std::vector<std::string>{"Transmit...", "Transmit para1 Ok!", "Transmit para Ok!",
                                        "Parameters sent to RAM"}));
}

TEST_F(TransferTest, SendGoesOutOnceFromTheMouseAndOnceFromTheKeyboard) {
    DisplayPanel(panelHandle);
    auto* button = qobject_cast<QPushButton*>(CtrlWidget(panelHandle, PANEL_BTNSEND));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(controller.orders(), (std::vector<int>{1, 1}));
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(controller.orders(), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(StatusText(), "Parameters sent to RAM");
}

TEST_F(TransferTest, SendThatDidNotGoOutWholeNeverReportsSuccess) {
    struct Case {
        const char* name;
        std::function<void(SimLine&)> breakLine;
        const char* text;
    };
    const Case cases[] = {
        {"port closed", [](SimLine& l) { l.close(com); },
         "Port is not open - parameters not sent!"},
        {"short write", [](SimLine& l) { l.setWriteLimit(com, 10); },
         "Transmit error - parameters not sent!"},
    };
    for (const Case& c : cases) {
        OpenLine();
        line.setWriteLimit(com, -1);
        c.breakLine(line);
        TakeStatusHistory();
        Send();
        const auto shown = TakeStatusHistory();
        EXPECT_EQ(StatusText(), c.text) << c.name;
        for (const auto& text : shown) EXPECT_EQ(text.find("Ok!"), std::string::npos) << c.name;
    }
}

TEST_F(TransferTest, SendWithNoControllerStillReportsTheWrites) {
    controller.model().faults.silent = true;
    Send();
    EXPECT_EQ(StatusText(), "Parameters sent to RAM");
}

TEST_F(TransferTest, GetFromRamShowsTheControllersSet) {
    controller.model().ram[0][1] = 1111;
    controller.model().ram[1][2] = 2;
    Get();
    EXPECT_EQ(controller.orders(), (std::vector<int>{2, 2}));
    EXPECT_EQ(CtrlValue(PANEL_POWERTOP), 1111u);
    EXPECT_EQ(CtrlValue(PANEL_DIGMODE), 2u);
    EXPECT_EQ(StatusText(), "Parameters read from RAM");
}

TEST_F(TransferTest, GetThatTimesOutSaysSoAtTheEnd) {
    // The first read, the second, or both unanswered: a later success must not hide it.
    for (const std::vector<int>& silent : {std::vector<int>{0, 1}, {0}, {1}}) {
        int request = 0;
        controller.setReplyHook([&](int, const uint16_t*, sim::Reply& reply) {
            if (std::find(silent.begin(), silent.end(), request++) != silent.end())
                reply.bytes.clear();
        });
        refTOP = 321;
        SetCtrlVal(panelHandle, PANEL_REFTOP, 999u);
        Get();
        EXPECT_EQ(StatusText(), kParametersNotReadText) << silent.size();
        if (silent[0] == 0) {
            EXPECT_EQ(CtrlValue(PANEL_REFTOP), 321u) << "the variables, unread";
        }
    }
}

TEST_F(TransferTest, PortChangeSetsRamTargetAndLightsItsButton) {
    Click(CC_RBTEeprom, PANEL_RBTEEPROM, 1);
    CloseCom(com);
    InitRS232(com);
    EXPECT_EQ(target, RAM);
    EXPECT_EQ(Radio(PANEL_RBTRAM), 1);
    EXPECT_EQ(Radio(PANEL_RBTEEPROM), 0);
    EXPECT_EQ(Radio(PANEL_RBTFILE), 0);
}
