// Teach and Reset: one acknowledged frame, then the full packet read back from RAM.
#include "console/commands.h"
#include "console/startup.h"
#include "link/frame.h"
#include "link/link_state.h"
#include "link/packet.h"
#include "link/port_setup.h"
#include "link/transactions.h"
#include "params/panel_binding.h"
#include "params/param_set.h"
#include "platform/serial/rs232.h"
#include "resources/panel_ids.h"

namespace kervano {

namespace {
constexpr double kAckTimeout = 1.5;

void AcknowledgedTransaction(int orderCode, bool teach) {
    FlushInQ(com);
    FlushOutQ(com);
    order = orderCode;
    GetPanelValues();
    CopyVarsToPP(0);
    FillTxBuf(orderCode, pp);
    rx_flag = 0;
    nBytesW = WriteTxBuf(com);
    if (nBytesW != kFrameBytes) {
        // The frame did not go out whole: nothing can acknowledge it, and no success text
        // may suggest otherwise.
        SetWriteFailureText(nBytesW, teach ? "Teach not sent!" : "Reset not sent!");
        ShowStatus();
        return;
    }
    ShowStatus("Line Ok!");
    if (teach) ShowStatus("New setpoint value teached!");

    tstart = Timer();
    for (;;) {
        if (rx_flag == 1) {
            PushGET(RAM, 0);
            break;
        }
        tdiff = Timer() - tstart;
        ProcessSystemEvents();
        if (!(tdiff < kAckTimeout)) break;
    }
    // PushGET's own wait leaves its elapsed time in tdiff, so this reports a parameter
    // read that timed out as well as a missing acknowledgement.
    if (tdiff > kAckTimeout) {
        ShowStatus("Timeout RS-232!!");
        LinkReplied(false);
    }
}
}  // namespace

int CC_ButtonTeach(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
                   int /*eventData1*/, int /*eventData2*/) {
    if (event == EVENT_LEFT_CLICK) {
        ShowStatus("Teach new Reference-Value ...");
    } else if (event == EVENT_COMMIT) {
        AcknowledgedTransaction(ORDER_TEACH, true);
    }
    return 0;
}

int CC_ButtonReset(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
                   int /*eventData1*/, int /*eventData2*/) {
    if (event == EVENT_COMMIT) AcknowledgedTransaction(ORDER_RESET, false);
    return 0;
}

}  // namespace kervano
