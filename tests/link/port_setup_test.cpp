// Port set-up, the receive notification, the bounded wait and the echo check, on the
// simulated line with the real panel offscreen.
#include "link/port_setup.h"

#include <gtest/gtest.h>

#include <QWidget>
#include <cstring>
#include <functional>

#include "console/startup.h"
#include "link/frame.h"
#include "params/param_set.h"
#include "params/transfer_commands.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "resources/status_line.h"
#include "resources/status_listeners.h"
#include "tests/support/app/panel_fixture.h"

using namespace kervano;

namespace {

class PortSetupTest : public PanelFixture {
  protected:
    // Replaces the echo reply with the given bytes.
    void EchoReplyIs(std::vector<uint8_t> bytes) {
        controller.setReplyHook([bytes](int order, const uint16_t*, sim::Reply& reply) {
            if (order == ORDER_ECHO) reply.bytes = bytes;
        });
    }
};

}  // namespace

TEST(ComErrorTextTest, EveryCodeHasItsText) {
    EXPECT_STREQ(ComErrorText(-1), "Unknown system error");
    EXPECT_STREQ(ComErrorText(-2), "Invalid port number");
    EXPECT_STREQ(ComErrorText(-3), "Port is not open");
    EXPECT_STREQ(ComErrorText(-4), "Unknown I/0 error");
    EXPECT_STREQ(ComErrorText(-6), "No serial port found");
    EXPECT_STREQ(ComErrorText(-7), "Cannot open port");
    EXPECT_STREQ(ComErrorText(-13), "Invalid parameter");
    EXPECT_STREQ(ComErrorText(-99), "Timeout");
    for (int code : {-5, -8, -10, -12, -14, -98, -100}) {
        EXPECT_STREQ(ComErrorText(code), "RS-232 error!") << code;
    }
}

TEST_F(PortSetupTest, StartSendsEchoTwoParameterReadsAndFirmwareRequestInOrder) {
    refTOP = 1;  // must not travel: the echo carries the variables as they stand
    powerTOP = 321;
    controller.model().ram[0][4] = 777;  // the controller's refTOP
    controller.model().ram[1][3] = 250;  // its hold
    InitRS232(com);

    ASSERT_EQ(controller.orders(), (std::vector<int>{5, 2, 2, 7}));
    const auto& r = controller.requests();
    EXPECT_EQ(r[0].payload[0], 0);
    EXPECT_EQ(r[0].payload[1], 321);
    EXPECT_EQ(r[1].payload[0], 0);
    EXPECT_EQ(r[2].payload[0], 1);
    EXPECT_EQ(refTOP, 777);
    EXPECT_EQ(hold, 250);
    EXPECT_EQ(CtrlValue(PANEL_REFTOP), 777u);
    EXPECT_EQ(CtrlValue(PANEL_HOLD), 250u);
    EXPECT_EQ(StatusText(), controller.model().firmwareText);
    EXPECT_EQ(std::string(szStatus), controller.model().firmwareText);
}

TEST_F(PortSetupTest, PortThatCannotOpenShowsItsTextAndTheSystemReason) {
    line.setOpenResult(1, kComCannotOpen, "Permission denied");
    InitRS232(1);
    EXPECT_EQ(StatusText(), "Cannot open port");
    EXPECT_TRUE(line.writes().empty());
    // The reason is beside the text, in the status line's tooltip.
    EXPECT_TRUE(CtrlWidget(panelHandle, PANEL_STATUS)->toolTip().contains("Permission denied"));
}

TEST_F(PortSetupTest, SilentLineTimesOutAfterEchoDelayAndPortTimeout) {
    controller.model().faults.silent = true;
    const double start = line.now();
    InitRS232(com);
    EXPECT_EQ(StatusText(), "Timeout < 36 Bytes");
    EXPECT_NEAR(line.now() - start, 2.05, 0.01);
    EXPECT_EQ(controller.orders(), (std::vector<int>{5})) << "nothing after a failed check";
}

TEST_F(PortSetupTest, EchoCheckLooksAtPayloadWordZeroOfAWholeFrame) {
    std::vector<uint8_t> anyHeader(36, 0x77);
    anyHeader[4] = 0x00;
    anyHeader[5] = 0xAA;
    std::vector<uint8_t> short35 = MakeFrame(5, {0x00AA});
    short35.pop_back();
    const struct {
        const char* name;
        std::vector<uint8_t> reply;
        int passed;
        const char* text;
    } cases[] = {
        {"any header", anyHeader, 1, "Echo Check - Line Ok!"},
        {"swapped bytes", MakeFrame(5, {0xAA00}), 0, "read error - not sync byte 0xAA!"},
        {"35 bytes", short35, 0, "Timeout < 36 Bytes"},
    };
    OpenLine();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EchoReplyIs(c.reply);
        EXPECT_EQ(CheckComLine(com), c.passed);
        EXPECT_STREQ(szStatus, c.text);
        EXPECT_EQ(StatusText(), c.text);
    }
}

TEST_F(PortSetupTest, TargetBecomesRamWhenTheCheckPassesAndItsButtonShowsIt) {
    auto lit = [] {
        std::vector<int> on;
        for (int control : {PANEL_RBTRAM, PANEL_RBTEEPROM, PANEL_RBTFILE}) {
            int v = 0;
            GetCtrlVal(panelHandle, control, &v);
            on.push_back(v);
        }
        return on;
    };
    SetCtrlVal(panelHandle, PANEL_RBTEEPROM, 1);
    CC_RBTEeprom(panelHandle, PANEL_RBTEEPROM, EVENT_VAL_CHANGED, nullptr, 0, 0);
    controller.model().faults.echoWord = 0x1234;
    InitRS232(com);
    EXPECT_EQ(target, EEPROM);
    EXPECT_EQ(lit(), (std::vector<int>{0, 1, 0}));
    controller.model().faults.echoWord = 0x00AA;
    CloseCom(com);
    InitRS232(com);
    EXPECT_EQ(target, RAM);
    EXPECT_EQ(lit(), (std::vector<int>{1, 0, 0})) << "the lit button is the target Send uses";
}

TEST_F(PortSetupTest, AFailedStepOfTheSetUpIsTheLastWordOnTheStatusLine) {
    const struct {
        const char* name;
        std::function<void(SimController&)> fault;
        const char* text;
    } cases[] = {
        {"no firmware reply",
         [](SimController& c) { c.model().faults.ignoredOrders = {ORDER_FIRMWARE}; },
         "Error reading firmware-info!"},
        {"firmware reply too long",
         [](SimController& c) {
             c.setReplyHook([](int order, const uint16_t*, sim::Reply& reply) {
                 if (order == ORDER_FIRMWARE) reply.bytes.resize(80, 0x41);
             });
         },
         "Error reading firmware-info!"},
        {"no parameter reply",
         [](SimController& c) { c.model().faults.ignoredOrders = {ORDER_READ_RAM}; },
         "Timeout-RS-232 - parameters not read from controller!"},
    };
    for (const auto& c : cases) {
        controller.model().faults = {};
        controller.setReplyHook({});
        c.fault(controller);
        CloseCom(com);
        InitRS232(com);
        EXPECT_EQ(StatusText(), c.text) << c.name;
    }
}

TEST_F(PortSetupTest, ReplyInTheTurnThatPassesTheTimeoutStillTimesOut) {
    OpenLine();
    rx_flag = 0;
    const double start = line.now();
    // Land the frame inside the poll that takes the elapsed time past 1.5 s.
    line.deliver(com, MakeFrame(2, {}), start + 1.4995);
    EXPECT_EQ(WaitRxFull(), 0);
    EXPECT_EQ(rx_flag, 1) << "the notification ran in that same turn";
    EXPECT_EQ(ret, 0);
    EXPECT_STREQ(szStatus, "Timeout-RS-232...");
}

TEST_F(PortSetupTest, ReplyJustBeforeTheTimeoutIsTaken) {
    OpenLine();
    rx_flag = 0;
    line.deliver(com, MakeFrame(2, {}), line.now() + 1.49);
    EXPECT_EQ(WaitRxFull(), 1);
}

TEST_F(PortSetupTest, NotificationWithoutReceiveBitChangesNothing) {
    OpenLine();
    line.deliver(com, MakeFrame(9, {1, 2, 3}), line.now());
    Delay(0.01);  // the bytes are in the queue, no notification has run
    rx_flag = 0;
    graphrefresh = 0;
    order = 1;
    for (int events : {kComEventChar, kComEventOutputEmpty, kComEventChar | kComEventOutputEmpty}) {
        RX_Receive_Function(com, events, nullptr);
    }
    EXPECT_EQ(rx_flag, 0);
    EXPECT_EQ(graphrefresh, 0);
    EXPECT_EQ(order, 1);
    EXPECT_EQ(GetInQLen(com), 36);
}

TEST_F(PortSetupTest, SecondFrameOfAPairIsFlushed) {
    OpenLine();
    line.deliver(com, Concat(MakeFrame(8, {11}), MakeFrame(8, {22})), line.now());
    rx_flag = 0;
    ProcessSystemEvents();
    EXPECT_EQ(rx_flag, 1);
    EXPECT_EQ(graphrefresh, 1);
    EXPECT_EQ(pp[0], 11);
    EXPECT_EQ(GetInQLen(com), 0);
}

TEST_F(PortSetupTest, IncompleteFrameDoesNotNotify) {
    OpenLine();
    auto frame = MakeFrame(8, {5});
    frame.resize(20);
    line.deliver(com, frame, line.now());
    rx_flag = 0;
    for (int i = 0; i < 10; ++i) ProcessSystemEvents();
    EXPECT_EQ(rx_flag, 0);
    EXPECT_EQ(GetInQLen(com), 20);
}

namespace {
std::vector<std::string> heard;
void Hear(const char* text) {
    heard.push_back(text);
}
}  // namespace

TEST_F(PortSetupTest, EveryStatusTextReachesTheListenersEvenWhenRepeated) {
    heard.clear();
    AddStatusListener(Hear);
    AddStatusListener(Hear);  // once only
    OpenLine();
    controller.model().faults.silent = true;
    rx_flag = 0;
    WaitRxFull();
    ShowStatus();
    ShowStatus();
    CheckComLine(com);
    RemoveStatusListener(Hear);
    ShowStatus("unheard");
    EXPECT_EQ(heard, (std::vector<std::string>{"Timeout-RS-232...", "Timeout-RS-232...",
                                               "Timeout < 36 Bytes"}));
}
