#include "link/port_setup.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "link/frame.h"
#include "link/line_figures.h"
#include "link/link_state.h"
#include "link/packet.h"
#include "link/reply_filter.h"
#include "link/transactions.h"
#include "params/known_values.h"
#include "params/panel_binding.h"
#include "params/param_set.h"
#include "platform/serial/serial_port.h"
#include "platform/serial/traffic_tap.h"
#include "resources/panel_handle.h"
#include "resources/panel_ids.h"
#include "resources/status_line.h"

namespace kervano {

int com = 1;
int rx_flag = 1;
int graphrefresh = 0;
int ret = 0;
double tstart = 0.0;
double tdiff = 0.0;

namespace {
constexpr double kReplyTimeout = 1.5;  // a notified reply
constexpr double kPortTimeout = 2.0;   // the port's own read and write time-out
constexpr double kEchoDelay = 0.05;
constexpr int kEchoWord = 0x00AA;
}  // namespace

void FlushQueues(int port) {
    FlushInQ(port);
    FlushOutQ(port);
}

const char* ComErrorText(int code) {
    switch (code) {
        case -1:
            return "Unknown system error";
        case -2:
            return "Invalid port number";
        case -3:
            return "Port is not open";
        case -4:
            return "Unknown I/0 error";
        case -6:
            return "No serial port found";
        case -7:
            return "Cannot open port";
        case -13:
            return "Invalid parameter";
        case -99:
            return "Timeout";
        default:
            return "RS-232 error!";
    }
}

void SetWriteFailureText(int written, const char* what) {
    const std::string text =
        std::string(written < 0 ? ComErrorText(written) : "Transmit error") + " - " + what;
    SetStatusText(text.c_str());
}

void InstallReceiveNotification() {
    InstallComCallback(com, eventMask, kNotifyCount, sync, RX_Receive_Function, nullptr);
}

void RemoveReceiveNotification() {
    InstallComCallback(com, 0, kNotifyCount, sync, nullptr, nullptr);
}

int InitRS232(int port) {
    // Whatever answers now may be another controller.
    ForgetController();
    ForgetOrdersSent();
    const int opened = OpenComConfig(port, "", 19200, 0, 8, 1, 4096, 4096);
    LinkPortOpened(port, opened);
    // The operating system's reason behind a failed open goes into the status line's
    // tooltip, beside the status text itself.
    const std::string reason = opened < 0 ? ComOpenFailureReason(port) : std::string();
    SetCtrlAttribute(panelHandle, PANEL_STATUS, ATTR_TOOLTIP_TEXT, reason.c_str());
    if (opened < 0) {
        SetStatusText(ComErrorText(opened));
        ShowStatus();
        return 0;
    }
    SetComTime(port, kPortTimeout);
    FlushQueues(port);
    SetCTSMode(port, 0);
    InstallComCallback(port, eventMask, kNotifyCount, sync, RX_Receive_Function, nullptr);

    int result = 0;
    if (CheckComLine(port) == 1) {
        target = RAM;
        ShowTarget();
        const int setRead = ReadParameterSet(RAM);
        SetPanelValues();
        // Only a block of exactly 64 bytes carries the firmware text.
        const bool firmwareRead = GetVERSIONInfo() == kVersionBytes;
        if (!firmwareRead) SetStatusText(kFirmwareErrorText);
        // The panel then shows values the controller never sent: that must not end on the
        // firmware text as if all were well.
        if (setRead != 1) SetStatusText(kParametersNotReadText);
        result = firmwareRead && setRead == 1 ? 1 : 0;
    }
    ShowStatus();
    return result;
}

void RX_Receive_Function(int /*port*/, int events, void* /*data*/) {
    if ((events & kComEventNotifyCount) == 0) return;
    ComRd(com, reinterpret_cast<char*>(szReadBuf), kFrameBytes);
    if (IsLateReply(szReadBuf)) {
        // Not the reply awaited: the wait goes on, and what follows stays in the queue.
        SetAsideRead(com, szReadBuf, kFrameBytes, SET_ASIDE_LATE_REPLY);
        return;
    }
    GetRxBuf(PNUM);
    NoteReplyTaken();
    rx_flag = 1;
    graphrefresh = 1;
    FlushInQ(com);
    LinkReplied(true);
}

int WaitRxFull() {
    ret = 1;
    tstart = Timer();
    for (;;) {
        ProcessSystemEvents();
        tdiff = Timer() - tstart;
        if (tdiff > kReplyTimeout) {
            SetStatusText("Timeout-RS-232...");
            ret = 0;
            LinkReplied(false);
            break;
        }
        if (rx_flag != 0) break;
    }
    return ret;
}

int CheckComLine(int port) {
    CopyVarsToPP(0);
    FillTxBuf(ORDER_ECHO, pp);
    FlushQueues(port);
    nBytesW = WriteTxBuf(port);
    Delay(kEchoDelay);
    nBytesR = ComRd(port, reinterpret_cast<char*>(szReadBuf), kFrameBytes);

    int result = 0;
    if (nBytesR != kFrameBytes) {
        SetStatusText("Timeout < 36 Bytes");
    } else if (szReadBuf[4] * 256 + szReadBuf[5] == kEchoWord) {
        SetStatusText("Echo Check - Line Ok!");
        result = 1;
    } else {
        SetStatusText("read error - not sync byte 0xAA!");
    }
    LinkReplied(result == 1);
    ShowStatus();
    return result;
}

}  // namespace kervano
