// Teach and Reset: the acknowledged transaction and its status texts.
#include <gtest/gtest.h>

#include <functional>

#include "console/commands.h"
#include "console/startup.h"
#include "link/frame.h"
#include "link/port_setup.h"
#include "params/param_set.h"
#include "platform/serial/serial_port.h"
#include "resources/panel_ids.h"
#include "tests/support/app/panel_fixture.h"

using namespace kervano;

namespace {

class TeachTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        OpenLine();
    }
    void TeachWithMouse() {
        CC_ButtonTeach(panelHandle, PANEL_BUTTONTEACH, EVENT_LEFT_CLICK, nullptr, 0, 0);
        CC_ButtonTeach(panelHandle, PANEL_BUTTONTEACH, EVENT_COMMIT, nullptr, 0, 0);
    }
    void DelayOrder(int which, double seconds) {
        controller.setReplyHook([which, seconds](int order, const uint16_t*, sim::Reply& reply) {
            if (order == which) reply.delay = seconds;
        });
    }
};

}  // namespace

TEST_F(TeachTest, TeachSendsThePanelAndShowsTheReferencesReadBack) {
    SetCtrlVal(panelHandle, PANEL_REFTOP, 123u);
    TeachWithMouse();
    EXPECT_EQ(TakeStatusHistory(),
              (std::vector<std::string>{
                  "Teach new Reference-Value ...", "Line Ok!", "New setpoint value teached!",
                  "Waiting for parameter-frame ...", "Parameter-frame received! - Line Ok!"}));
    EXPECT_EQ(controller.orders(), (std::vector<int>{6, 2}));
    EXPECT_EQ(controller.requests()[0].payload[4], 123) << "the panel's values go out";
    EXPECT_EQ(refTOP, controller.model().refTop());
    EXPECT_NE(refTOP, 123);
    EXPECT_EQ(CtrlValue(PANEL_REFTOP), refTOP) << "the panel shows what the controller holds";
}

TEST_F(TeachTest, KeyboardTeachStartsWithLineOk) {
    CC_ButtonTeach(panelHandle, PANEL_BUTTONTEACH, EVENT_COMMIT, nullptr, 0, 0);
    const auto history = TakeStatusHistory();
    ASSERT_FALSE(history.empty());
    EXPECT_EQ(history.front(), "Line Ok!");
}

TEST_F(TeachTest, AcknowledgementAfter1400msIsNoTimeout) {
    DelayOrder(ORDER_TEACH, 1.4 - SimController::WireTime(36));
    TeachWithMouse();
    EXPECT_EQ(StatusText(), "Parameter-frame received! - Line Ok!");
    EXPECT_EQ(controller.orders(), (std::vector<int>{6, 2}));
}

TEST_F(TeachTest, MissingAcknowledgementTimesOutWithoutReadBack) {
    controller.model().faults.ignoredOrders = {ORDER_TEACH};
    const double start = line.now();
    TeachWithMouse();
    EXPECT_EQ(StatusText(), "Timeout RS-232!!");
    EXPECT_EQ(controller.orders(), (std::vector<int>{6}));
    EXPECT_NEAR(line.now() - start, 1.5, 0.01);
}

TEST_F(TeachTest, ParameterReadTimeoutAfterAcknowledgementIsReported) {
    controller.model().faults.ignoredOrders = {ORDER_READ_RAM};
    SetCtrlVal(panelHandle, PANEL_REFBOT, 432u);
    TeachWithMouse();
    const auto history = TakeStatusHistory();
    ASSERT_GE(history.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(history.end() - 3, history.end()),
              (std::vector<std::string>{"Waiting for parameter-frame ...", "Timeout-RS-232...",
                                        "Timeout RS-232!!"}));
    EXPECT_EQ(refBOT, 432) << "the variables hold the panel's values";
    const double ack = controller.requests()[1].time;
    EXPECT_NEAR(line.now() - ack, 1.5, 0.01);
}

TEST_F(TeachTest, ResetReadsBackWithoutTheTeachText) {
    controller.model().eeprom[0][1] = 808;
    CC_ButtonReset(panelHandle, PANEL_BUTTONRESET, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(TakeStatusHistory(),
              (std::vector<std::string>{"Line Ok!", "Waiting for parameter-frame ...",
                                        "Parameter-frame received! - Line Ok!"}));
    EXPECT_EQ(controller.orders(), (std::vector<int>{10, 2}));
    EXPECT_EQ(powerTOP, 808) << "the controller copied its EEPROM into RAM";
}

TEST_F(TeachTest, ResetIgnoresTheLeftClick) {
    CC_ButtonReset(panelHandle, PANEL_BUTTONRESET, EVENT_LEFT_CLICK, nullptr, 0, 0);
    EXPECT_TRUE(line.writes().empty());
}

TEST_F(TeachTest, AFrameThatDidNotGoOutIsReportedAtOnceAndNeverAsSuccess) {
    const struct {
        const char* name;
        bool teach;
        std::function<void(SimLine&)> breakLine;
        std::vector<std::string> shown;
    } cases[] = {
        {"reset, port closed",
         false,
         [](SimLine& l) { l.close(com); },
         {"Port is not open - Reset not sent!"}},
        {"teach, short write",
         true,
         [](SimLine& l) { l.setWriteLimit(com, 20); },
         {"Teach new Reference-Value ...", "Transmit error - Teach not sent!"}},
    };
    for (const auto& c : cases) {
        OpenLine();
        line.setWriteLimit(com, -1);
        c.breakLine(line);
        TakeStatusHistory();
        const double start = line.now();
        if (c.teach) {
            TeachWithMouse();
        } else {
            CC_ButtonReset(panelHandle, PANEL_BUTTONRESET, EVENT_COMMIT, nullptr, 0, 0);
        }
        EXPECT_EQ(TakeStatusHistory(), c.shown) << c.name;
        EXPECT_LT(line.now() - start, 0.1) << c.name << ": no wait for an answer that cannot come";
    }
}
