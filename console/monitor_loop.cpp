// Run and Stop: the live monitor's request/reply loop.
#include "console/commands.h"
#include "console/startup.h"
#include "link/frame.h"
#include "link/link_state.h"
#include "link/packet.h"
#include "link/port_setup.h"
#include "link/reply_filter.h"
#include "platform/serial/serial_port.h"
#include "resources/panel_ids.h"
#include "resources/status_line.h"
#include "scope/monitor.h"
#include "scope/monitor_traces.h"

namespace kervano {

namespace {
constexpr double kLineTimeout = 2.0;
constexpr unsigned short kShortPacketMode = 2;

// Packs the request for the display mode the selector shows now.
void PackMonitorRequest() {
    unsigned short viewMode = 0;
    GetCtrlVal(panelHandle, PANEL_VIEWMODE, &viewMode);
    CopyVarsToPP(viewMode == kShortPacketMode ? 1 : 0);
}

void FlushBoth() {
    FlushQueues(com);
}

// When the last monitor request went out (-1: none), and the replies taken by then. Stop
// can end the loop with a request still on the line.
double requestSentAt = -1.0;
unsigned repliesBeforeRequest = 0;

void NoteRequestSent(double at) {
    requestSentAt = at;
    repliesBeforeRequest = RepliesTaken();
}

// A Run right after Stop first lets that request's reply arrive (or its time-out pass):
// otherwise two requests would be on the line and each reply taken for the other's.
// Returns false when Stop (or closing the window) came during the wait: Run then ends.
bool AwaitRequestStillOnTheLine() {
    stop_flag = 0;
    while (requestSentAt >= 0.0 && RepliesTaken() == repliesBeforeRequest &&
           !(Timer() - requestSentAt > kLineTimeout) && stop_flag == 0) {
        ProcessSystemEvents();
    }
    requestSentAt = -1.0;
    return stop_flag == 0;
}

void UnlockFrames() {
    SetCtrlAttribute(panelHandle, PANEL_RUNLOCK, ATTR_DIMMED, 0);
    SetCtrlAttribute(panelHandle, PANEL_DATALOCK, ATTR_DIMMED, 0);
}
}  // namespace

void ForgetMonitorRequest() {
    requestSentAt = -1.0;
}

int CC_BTNRun(int /*panel*/, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
              int /*eventData2*/) {
    if (event != EVENT_COMMIT) return 0;

    SetCtrlAttribute(panelHandle, PANEL_GRAPHTOP, ATTR_VISIBLE, 0);
    SetCtrlAttribute(panelHandle, PANEL_GRAPHBOT, ATTR_VISIBLE, 0);
    SetCtrlAttribute(panelHandle, PANEL_RUNLOCK, ATTR_DIMMED, 1);
    SetCtrlAttribute(panelHandle, PANEL_DATALOCK, ATTR_DIMMED, 1);
    SetCtrlAttribute(panelHandle, PANEL_STRIPTOP, ATTR_VISIBLE, 1);
    SetCtrlAttribute(panelHandle, PANEL_STRIPBOT, ATTR_VISIBLE, 1);
    StartMonitorTraces();

    if (!AwaitRequestStillOnTheLine()) {
        UnlockFrames();
        return 0;
    }
    FlushBoth();
    rx_flag = 0;
    PackMonitorRequest();
    order = ORDER_MONITOR;
    FillTxBuf(ORDER_MONITOR, pp);
    nBytesW = WriteTxBuf(com);
    if (nBytesW < 0) {
        // The port is not open: no reply can come, so no time-out is waited for.
        SetWriteFailureText(nBytesW, "monitor not started!");
        ShowStatus();
        LinkReplied(false);
        UnlockFrames();
        return 0;
    }
    if (nBytesW == kFrameBytes) ShowStatus("Line Ok!");
    NoteRequestSent(Timer());

    tstart = Timer();
    stop_flag = 0;
    graphrefresh = 0;
    do {
        // The redraw reads the reply from pp before the next request is packed into it.
        if (graphrefresh == 1) {
            PlotRAWValues();
            graphrefresh = 0;
        }
        if (rx_flag == 1) {
            FlushBoth();
            PackMonitorRequest();
            FillTxBuf(ORDER_MONITOR, pp);
            rx_flag = 0;
            tstart = Timer();
            nBytesW = WriteTxBuf(com);
            NoteRequestSent(tstart);
        }
        tdiff = Timer() - tstart;
        if (tdiff > kLineTimeout) {
            ShowStatus("Timeout RS232-Line!");
            LinkReplied(false);
            ShowStatus(kStopHintText);
            stop_flag = 1;
            requestSentAt = -1.0;
            break;
        }
        ProcessSystemEvents();
    } while (stop_flag == 0);

    rx_flag = 0;
    FlushBoth();
    graphrefresh = 0;
    SetCtrlAttribute(panelHandle, PANEL_RUNLOCK, ATTR_DIMMED, 0);
    return 0;
}

int CC_BTNStop(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
               int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT) return 0;
    rx_flag = 0;
    FlushBoth();
    stop_flag = 1;
    graphrefresh = 0;
    SetCtrlAttribute(panelHandle, PANEL_RUNLOCK, ATTR_DIMMED, 0);
    SetCtrlAttribute(panelHandle, PANEL_DATALOCK, ATTR_DIMMED, 0);
    SetCtrlAttribute(panelHandle, PANEL_STOPOFF, ATTR_DIMMED, 0);
    FillarrayRAW(0, 0, 0, 0);
    return 0;
}

}  // namespace kervano
