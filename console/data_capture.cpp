// Data: one monitor exchange, the four data blocks, and both data graphs.
#include "console/data_capture.h"

#include <cstdio>
#include <ctime>

#include "console/commands.h"
#include "console/startup.h"
#include "link/data_block.h"
#include "link/frame.h"
#include "link/link_state.h"
#include "link/port_setup.h"
#include "platform/serial/serial_port.h"
#include "resources/panel_ids.h"
#include "resources/status_line.h"
#include "scope/data_graphs.h"
#include "scope/last_capture.h"
#include "scope/monitor.h"
#include "scope/reference_curves.h"

namespace kervano {

namespace {
// A capture that missed a part says so at its end, so that the last block's text does not
// stand for the whole capture.
void ReportIncompleteCapture(bool monitorReply, int blocks) {
    char text[kStatusBytes];
    if (!monitorReply && blocks == kDataBlocks) {
        std::snprintf(text, sizeof text, "No monitor reply - read-outs and cursor not updated!");
    } else if (!monitorReply) {
        std::snprintf(text, sizeof text, "No monitor reply, only %d of 4 data blocks received!",
                      blocks);
    } else if (blocks < kDataBlocks) {
        std::snprintf(text, sizeof text, "Data incomplete - only %d of 4 blocks received!", blocks);
    } else {
        return;
    }
    SetStatusText(text);
    ShowStatus();
}
}  // namespace

int CaptureDataBlocks() {
    FlushQueues(com);
    rx_flag = 0;
    // The request carries whatever pp holds, normally the last reply taken in.
    order = ORDER_MONITOR;
    FillTxBuf(ORDER_MONITOR, pp);
    nBytesW = WriteTxBuf(com);
    if (nBytesW < 0) {
        // The port is not open: nothing can be captured, and no earlier capture may pass
        // for this one.
        ClearDataCurves();
        SetWriteFailureText(nBytesW, "no data captured!");
        ShowStatus();
        LinkReplied(false);
        return -1;
    }
    WaitRxFull();
    // Without a reply pp still holds the request's own words: they are no measurements.
    const bool monitorReply = rx_flag == 1;
    if (monitorReply) PlotRAWValues();

    // Blocks have no frame header: with the notification on, their first 36 bytes would
    // be taken for a frame.
    RemoveReceiveNotification();
    FlushQueues(com);
    ClearDataCurves();
    for (int start : {0, 64, 128, 192}) {
        order = ORDER_DATA;
        ReadData64(start, 1, ORDER_DATA);
    }
    InstallReceiveNotification();
    ReportIncompleteCapture(monitorReply, DataBlocksReceived());
    return monitorReply ? 1 : 0;
}

int CC_BTNData(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
               int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT) return 0;

    SetCtrlAttribute(panelHandle, PANEL_STRIPTOP, ATTR_VISIBLE, 0);
    SetCtrlAttribute(panelHandle, PANEL_GRAPHTOP, ATTR_VISIBLE, 1);

    const int captured = CaptureDataBlocks();
    const bool monitorReply = captured == 1;

    ComputeLimits();
    FillTopLines();
    PlotDATATop(yArrayA, upArray, loArray, refArray, dataBlockOk);
    FillBotLines();
    PlotDATABot(yArrayB, upArray, loArray, refArray, dataBlockOk + 2);
    if (!monitorReply) {
        // indexA is an earlier reply's: no cursor may claim it for this capture.
        SetCtrlAttribute(panelHandle, PANEL_GRAPHTOP, ATTR_NUM_CURSORS, 0);
        SetCtrlAttribute(panelHandle, PANEL_GRAPHBOT, ATTR_NUM_CURSORS, 0);
    }
    // A capture that never went on the line leaves nothing to export.
    if (captured < 0) {
        ForgetCapture();
    } else {
        RememberCapture(std::time(nullptr));
    }

    SetCtrlAttribute(panelHandle, PANEL_DATALOCK, ATTR_DIMMED, 0);
    FlushOutQ(com);
    FlushInQ(com);
    return 0;
}

}  // namespace kervano
