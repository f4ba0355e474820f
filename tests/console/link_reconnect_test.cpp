// The port watch brings the link back when the device returns, on the simulated line.
#include "console/link_reconnect.h"

#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>

#include "console/commands.h"
#include "console/port_watch.h"
#include "console/startup.h"
#include "link/frame.h"
#include "link/link_state.h"
#include "link/port_setup.h"
#include "platform/serial/port_table.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "tests/support/app/panel_fixture.h"

using namespace kervano;

namespace {

class ReconnectTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        ResetLinkState();
        PortTablePin(1, "/dev/ttyKV1");
        InitRS232(1);
        ASSERT_EQ(linkState, LINK_ANSWERING);
        controller.clearRequests();
        TakeStatusHistory();
    }
    void TearDown() override {
        PanelFixture::TearDown();
        PortTableClearPins();
    }
    int Count(const std::vector<std::string>& texts, const char* text) {
        return static_cast<int>(std::count(texts.begin(), texts.end(), text));
    }
};

}  // namespace

TEST_F(ReconnectTest, DeviceBackIsReopenedWithTheWholeSetUpAndSaidOnce) {
    line.unplug(1);
    PortWatchTurn();
    EXPECT_EQ(linkState, LINK_PORT_CLOSED);
    EXPECT_EQ(linkClosedCause, LINK_DEVICE_GONE);
    for (int turn = 0; turn < 5; ++turn) PortWatchTurn();
    EXPECT_EQ(TakeStatusHistory(), std::vector<std::string>{kDeviceGoneText})
        << "one text for the loss, none for every turn it stays away";
    EXPECT_TRUE(controller.requests().empty());

    line.plugIn(1);
    PortWatchTurn();
    const auto texts = TakeStatusHistory();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), kDeviceBackText);
    EXPECT_EQ(texts[1], "Echo Check - Line Ok!");
    EXPECT_EQ(texts.back(), controller.model().firmwareText);
    EXPECT_EQ(controller.orders(), (std::vector<int>{5, 2, 2, 7}));
    EXPECT_EQ(linkState, LINK_ANSWERING);
    PortWatchTurn();
    EXPECT_TRUE(TakeStatusHistory().empty()) << "back for good: nothing more to do";
}

TEST_F(ReconnectTest, NeverReopensWhileACommandRuns) {
    // Gone and back during the run, before anything noticed.
    line.at(line.now() + 0.1, [this] {
        line.unplug(1);
        line.plugIn(1);
    });
    int turnsInside = 0;
    for (double t : {0.2, 0.4, 0.6}) {
        line.at(line.now() + t, [&] {
            PortWatchTurn();
            ++turnsInside;
        });
    }
    line.at(line.now() + 0.8,
            [] { QTest::mouseClick(CtrlWidget(panelHandle, PANEL_BTNSTOP), Qt::LeftButton); });
    QTest::mouseClick(CtrlWidget(panelHandle, PANEL_BTNRUN), Qt::LeftButton);  // until Stop
    EXPECT_EQ(turnsInside, 3);
    const std::vector<int> orders = controller.orders();
    EXPECT_EQ(std::count(orders.begin(), orders.end(), ORDER_ECHO), 0)
        << "no port set-up inside the run";
    EXPECT_EQ(linkState, LINK_PORT_CLOSED) << "the loss itself is noticed at once";

    controller.clearRequests();
    PortWatchTurn();
    EXPECT_EQ(controller.orders(), (std::vector<int>{5, 2, 2, 7}));
    EXPECT_EQ(linkState, LINK_ANSWERING);
}

TEST_F(ReconnectTest, ADeviceThatCannotBeOpenedYetIsTriedLessAndLessOften) {
    line.unplug(1);
    line.plugIn(1);
    line.setOpenResult(1, kComCannotOpen, "Permission denied");
    for (int turn = 0; turn < 7; ++turn) PortWatchTurn();
    auto texts = TakeStatusHistory();
    EXPECT_EQ(Count(texts, kDeviceBackText), 3) << "turns 1, 3 and 6";
    EXPECT_EQ(Count(texts, "Cannot open port"), 3);

    line.setOpenResult(1, 0);
    for (int turn = 0; turn < 4; ++turn) PortWatchTurn();
    EXPECT_EQ(linkState, LINK_ANSWERING);
}

TEST_F(ReconnectTest, ChoosingAnotherPortEndsTheWait) {
    line.unplug(1);
    PortWatchTurn();
    ClearListCtrl(panelHandle, PANEL_DROPDCOM);
    InsertListItem(panelHandle, PANEL_DROPDCOM, -1, "COM2", 2);
    SetCtrlVal(panelHandle, PANEL_DROPDCOM, 2);
    CC_DropDCom(panelHandle, PANEL_DROPDCOM, EVENT_COMMIT, nullptr, 0, 0);
    line.plugIn(1);
    TakeStatusHistory();
    PortWatchTurn();
    EXPECT_EQ(com, 2);
    EXPECT_EQ(Count(TakeStatusHistory(), kDeviceBackText), 0);
}

TEST_F(ReconnectTest, APortWhoseDeviceWasMissingAtTheOpenIsOpenedOncePluggedIn) {
    line.unplug(1);
    CloseCom(1);
    InitRS232(1);  // as at a start before the adapter is plugged in
    ASSERT_EQ(linkClosedCause, LINK_OPEN_FAILED);
    TakeStatusHistory();
    for (int turn = 0; turn < 3; ++turn) PortWatchTurn();
    EXPECT_TRUE(TakeStatusHistory().empty()) << "the open's own text says what is missing";

    line.plugIn(1);
    PortWatchTurn();
    const auto texts = TakeStatusHistory();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), kDeviceFoundText);
    EXPECT_EQ(controller.orders(), (std::vector<int>{5, 2, 2, 7}));
    EXPECT_EQ(linkState, LINK_ANSWERING);
}

TEST_F(ReconnectTest, APortThatIsThereButCannotBeOpenedIsLeftToTheOperator) {
    CloseCom(1);
    line.setOpenResult(1, kComCannotOpen, "Permission denied");
    InitRS232(1);
    ASSERT_EQ(linkClosedCause, LINK_OPEN_FAILED);
    line.setOpenResult(1, 0);
    TakeStatusHistory();
    for (int turn = 0; turn < 3; ++turn) PortWatchTurn();
    EXPECT_TRUE(TakeStatusHistory().empty());
    EXPECT_EQ(linkState, LINK_PORT_CLOSED) << "the operator chooses when to try again";
}

TEST_F(ReconnectTest, ReopenKeepsTheOperatorsUnsentValuesAndMarksThem) {
    SetCtrlVal(panelHandle, PANEL_TOLTOP, 77u);
    controller.model().ram[0][2] = 612;  // changed on the controller meanwhile
    line.unplug(1);
    PortWatchTurn();
    line.plugIn(1);
    PortWatchTurn();
    ASSERT_EQ(linkState, LINK_ANSWERING);
    EXPECT_EQ(CtrlValue(PANEL_TOLTOP), 77u) << "the unsent edit stays";
    EXPECT_EQ(CtrlValue(PANEL_POWERBOT), 612u) << "the rest is what was just read";
    char line[256] = "";
    GetCtrlVal(panelHandle, PANEL_PARAMSTATE, line, sizeof line);
    EXPECT_EQ(std::string(line).substr(0, 18), "1 change not sent\n");
}
