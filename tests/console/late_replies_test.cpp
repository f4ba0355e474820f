// Replies that are not the awaited one: a monitor reply arriving after Stop while Get
// waits, a parameter frame slipped by a byte, a data block after its time-out, a Run right
// after Stop, and requests on a port that is not open. The real panel offscreen, the
// emulator on the simulated line.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "console/commands.h"
#include "console/startup.h"
#include "link/data_block.h"
#include "link/frame.h"
#include "link/port_setup.h"
#include "params/param_set.h"
#include "params/transfer_commands.h"
#include "platform/serial/serial_port.h"
#include "platform/serial/traffic_tap.h"
#include "resources/panel_ids.h"
#include "tests/support/app/panel_fixture.h"

using namespace kervano;

namespace {

class LateReplyTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        ASSERT_EQ(InitRS232(com), 1);
        SetTrafficListener(
            [](const TrafficEvent& e, void* self) {
                if (e.kind == TrafficKind::SetAside)
                    static_cast<LateReplyTest*>(self)->setAside.push_back(e.requested);
            },
            this);
    }
    void TearDown() override {
        SetTrafficListener(nullptr, nullptr);
        PanelFixture::TearDown();
    }
    void Press(CtrlCallbackPtr callback, int control) {
        callback(panelHandle, control, EVENT_COMMIT, nullptr, 0, 0);
    }
    // Runs the monitor and stops it at once, its last request still on the line.
    void RunThenStop(double replyDelay, double parameterDelay = 0.0) {
        controller.setReplyHook(
            [replyDelay, parameterDelay](int order, const uint16_t*, sim::Reply& reply) {
                if (order == ORDER_MONITOR) reply.delay = replyDelay;
                if (order == ORDER_READ_RAM) reply.delay = parameterDelay;
            });
        line.at(line.now() + 0.01, [this] { Press(CC_BTNStop, PANEL_BTNSTOP); });
        Press(CC_BTNRun, PANEL_BTNRUN);
    }
    std::vector<int> setAside;
};

}  // namespace

TEST_F(LateReplyTest, ParameterReadsTakeNoFrameThatIsNotTheirReply) {
    const struct {
        const char* name;
        std::function<void()> fault;
        int setAsideReason;
        const char* lastBeforeEnd;  // the text before Get's closing one
        bool taken;
    } cases[] = {
        {"a monitor reply after Stop", [this] { RunThenStop(0.3, 0.6); }, SET_ASIDE_LATE_REPLY,
         "Parameter-frame received! - Line Ok!", true},
        {"a frame slipped by a byte",
         [this] {
             controller.setReplyHook([](int order, const uint16_t*, sim::Reply& reply) {
                 if (order == ORDER_READ_RAM) reply.bytes.insert(reply.bytes.begin(), 0x00);
             });
         },
         SET_ASIDE_BAD_SYNC, "Parameter-frame refused - sync word not 0x0055!", false},
    };
    for (const auto& c : cases) {
        controller.setReplyHook({});
        controller.model().ram[0][4] = 432;
        setAside.clear();
        refTOP = 1;
        c.fault();
        TakeStatusHistory();
        Press(CC_BTNGet, PANEL_BTNGET);
        const auto shown = TakeStatusHistory();
        ASSERT_GE(shown.size(), 2u) << c.name;
        EXPECT_NE(std::find(shown.begin(), shown.end(), c.lastBeforeEnd), shown.end()) << c.name;
        EXPECT_EQ(refTOP, c.taken ? 432 : 1) << c.name << ": no monitor word is a parameter";
        EXPECT_GE(std::count(setAside.begin(), setAside.end(), c.setAsideReason), 1) << c.name;
    }
}

TEST_F(LateReplyTest, RunRightAfterStopWaitsForTheRequestStillOnTheLine) {
    RunThenStop(0.3);
    const double stopped = line.now();
    controller.clearRequests();
    controller.setReplyHook({});
    line.at(line.now() + 0.6, [this] { Press(CC_BTNStop, PANEL_BTNSTOP); });
    Press(CC_BTNRun, PANEL_BTNRUN);
    ASSERT_FALSE(controller.requests().empty());
    EXPECT_GT(controller.requests()[0].time, stopped + 0.2)
        << "the next request waits for the last reply";
}

TEST_F(LateReplyTest, ALateBlockIsDrainedAndNoBlockTakesAnothersPlace) {
    controller.setReplyHook([](int order, const uint16_t* payload, sim::Reply& reply) {
        if (order == ORDER_DATA && payload[0] == 0) reply.delay = 1.6;
        if (order == ORDER_DATA && payload[0] == 192) reply.bytes.clear();
    });
    controller.clearRequests();
    Press(CC_BTNData, PANEL_BTNDATA);
    EXPECT_EQ(std::vector<int>(dataBlockOk, dataBlockOk + 4), (std::vector<int>{0, 1, 1, 0}));
    const auto& r = controller.requests();
    ASSERT_GE(r.size(), 5u);
    for (int slot : {1, 2}) {
        const unsigned short* half = (slot < 2 ? yArrayA : yArrayB) + (slot % 2) * 64;
        const double asked = r[1 + slot].time;
        for (int k = 0; k < 64; ++k)
            ASSERT_EQ(half[k], controller.model().curveWord(slot / 2, (slot % 2) * 64 + k, asked))
                << "block " << slot << " word " << k;
    }
    EXPECT_EQ(std::count(setAside.begin(), setAside.end(), SET_ASIDE_LATE_BLOCK), 1);
    EXPECT_EQ(StatusText(), "Data incomplete - only 2 of 4 blocks received!");
}

TEST_F(LateReplyTest, RequestsOnAPortThatIsNotOpenSaySoAtOnce) {
    const struct {
        CtrlCallbackPtr callback;
        int control;
        const char* shown;
    } cases[] = {
        {CC_BTNGet, PANEL_BTNGET, "Timeout-RS-232 - parameters not read from controller!"},
        {CC_BTNRun, PANEL_BTNRUN, "Port is not open - monitor not started!"},
        {CC_BTNData, PANEL_BTNDATA, "Port is not open - no data captured!"},
    };
    line.close(com);
    for (const auto& c : cases) {
        TakeStatusHistory();
        const double start = line.now();
        Press(c.callback, c.control);
        EXPECT_LT(line.now() - start, 0.1) << c.shown << ": no wait for an answer that cannot come";
        EXPECT_EQ(StatusText(), c.shown);
        EXPECT_FALSE(IsDimmed(PANEL_DATALOCK)) << c.shown;
    }
    TakeStatusHistory();
    Press(CC_BTNGet, PANEL_BTNGET);
    EXPECT_EQ(TakeStatusHistory().front(), "Port is not open - parameters not read!");
}
