// The COM selector re-runs the whole port set-up on the chosen port.
#include <gtest/gtest.h>

#include "console/commands.h"
#include "console/startup.h"
#include "link/port_setup.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "tests/support/app/panel_fixture.h"

using namespace kervano;

namespace {

class ComSelectTest : public PanelFixture {
  protected:
    void Choose(int port, std::initializer_list<int> events) {
        ClearListCtrl(panelHandle, PANEL_DROPDCOM);
        InsertListItem(panelHandle, PANEL_DROPDCOM, -1, "COM1", 1);
        InsertListItem(panelHandle, PANEL_DROPDCOM, -1, "COM3", 3);
        SetCtrlVal(panelHandle, PANEL_DROPDCOM, port);
        for (int e : events) CC_DropDCom(panelHandle, PANEL_DROPDCOM, e, nullptr, 0, 0);
    }
};

}  // namespace

TEST_F(ComSelectTest, ValueChangeAndCommitEachRunTheSetUp) {
    Choose(1, {EVENT_VAL_CHANGED, EVENT_COMMIT});
    EXPECT_EQ(controller.orders(), (std::vector<int>{5, 2, 2, 7, 5, 2, 2, 7}));
    EXPECT_EQ(StatusText(), controller.model().firmwareText);
    const auto history = TakeStatusHistory();
    EXPECT_EQ(std::count(history.begin(), history.end(), "Init COM-Port ..."), 2);
    EXPECT_NE(history.back(), "Init COM-Port ...");
}

TEST_F(ComSelectTest, UnknownPortShowsItsTextAndKeepsTheNumber) {
    line.setOpenResult(3, kComInvalidPort);
    Choose(3, {EVENT_COMMIT});
    EXPECT_EQ(com, 3);
    EXPECT_EQ(StatusText(), "Invalid port number");
    EXPECT_FALSE(line.isOpen(1)) << "the old port was closed";
}

TEST_F(ComSelectTest, SilentPortStaysOpen) {
    controller.model().faults.silent = true;
    Choose(1, {EVENT_COMMIT});
    EXPECT_EQ(StatusText(), "Timeout < 36 Bytes");
    EXPECT_TRUE(line.isOpen(1));
}

TEST_F(ComSelectTest, OtherEventsDoNothing) {
    Choose(1, {EVENT_LEFT_CLICK});
    EXPECT_TRUE(line.writes().empty());
}
