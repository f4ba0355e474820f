#include "link/transactions.h"

#include <cstring>
#include <string>

#include "link/frame.h"
#include "link/line_figures.h"
#include "link/link_state.h"
#include "link/packet.h"
#include "link/port_setup.h"
#include "link/raw_reply.h"
#include "link/reply_filter.h"
#include "params/known_values.h"
#include "params/param_set.h"
#include "platform/serial/serial_port.h"
#include "platform/serial/traffic_tap.h"
#include "resources/status_line.h"

namespace kervano {

char szVersion[kVersionBytes] = "";

namespace {
constexpr double kFirmwareTimeout = 2.0;
constexpr int kFirmwareWords = 32;

// The firmware text: one character in the low byte of each word, up to the first zero.
void BuildVersionText() {
    int length = 0;
    for (int k = 0; k < kFirmwareWords; ++k) {
        const unsigned char c = szReadBuf[2 * k + 1];
        if (c == 0) break;
        szVersion[length++] = static_cast<char>(c);
    }
    szVersion[length] = '\0';
}
}  // namespace

std::string FirmwareTextUtf8() {
    // The firmware sends one byte per character (Latin-1); everything shown is UTF-8.
    std::string text;
    for (const char* c = szVersion; *c != '\0'; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte < 0x80) {
            text += static_cast<char>(byte);
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

int PushGET(int targetCode, int flag) {
    if (targetCode == DATFILE) return 0;
    order = targetCode == EEPROM ? ORDER_READ_EEPROM : ORDER_READ_RAM;
    CopyVarsToPP(flag);
    FlushQueues(com);
    FillTxBuf(order, pp);
    rx_flag = 0;
    nBytesW = WriteTxBuf(com);
    if (nBytesW < 0) {
        // The write failed (the port is not open, its device is gone): no reply can come.
        SetWriteFailureText(nBytesW, "parameters not read!");
        ShowStatus();
        LinkReplied(false);
        return 0;
    }
    if (nBytesW == kFrameBytes) ShowStatus("Waiting for parameter-frame ...");
    WaitRxFull();
    if (rx_flag == 1 && !HasFrameSync(szReadBuf)) {
        // A frame slipped by a byte: its words are no parameters.
        SetAsideRead(com, szReadBuf, kFrameBytes, SET_ASIDE_BAD_SYNC);
        ShowStatus(kParameterFrameRefusedText);
        return 0;
    }
    if (rx_flag != 1) {
        // "Waiting for parameter-frame ..." must not outlive the wait: the operator would
        // take the variables for the controller's.
        ShowStatus();
        return 0;
    }
    GetRxBuf(PNUM);
    CopyPPtoVars(flag);
    RecordPacket(targetCode, flag, pp);
    ShowStatus("Parameter-frame received! - Line Ok!");
    return 1;
}

int ReadParameterSet(int targetCode) {
    const int fullRead = PushGET(targetCode, 0);
    const int shortRead = PushGET(targetCode, 1);
    return fullRead == 1 && shortRead == 1 ? 1 : 0;
}

int GetVERSIONInfo() {
    RemoveReceiveNotification();
    FlushQueues(com);
    order = ORDER_FIRMWARE;
    FillTxBuf(ORDER_FIRMWARE, pp);
    nBytesW = WriteTxBuf(com);
    ShowStatus("Waiting for firmware info ...");

    bool timedOut = false;
    const int n = WaitForRawReply(kVersionBytes, kFirmwareTimeout, timedOut);
    if (timedOut) SetStatusText("Timeout - reading firmware info!");

    szVersion[0] = '\0';
    if (ReadRawReply(n) == kVersionBytes) {
        BuildVersionText();
        SetStatusText(FirmwareTextUtf8().c_str());
    } else if (!timedOut) {
        // More than one block came: no text can be trusted, and the line check's text
        // must not stand as if all were well.
        SetStatusText(kFirmwareErrorText);
    }

    InstallReceiveNotification();
    FlushQueues(com);
    rx_flag = 0;
    ShowStatus();
    return n;
}

}  // namespace kervano
