#include "link/transactions.h"

#include <cstring>

#include "link/frame.h"
#include "link/packet.h"
#include "link/port_setup.h"
#include "link/raw_reply.h"
#include "params/param_set.h"
#include "platform/serial/rs232.h"

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

int PushGET(int targetCode, int flag) {
    if (targetCode == DATFILE) return 0;
    order = targetCode == EEPROM ? ORDER_READ_EEPROM : ORDER_READ_RAM;
    CopyVarsToPP(flag);
    FlushInQ(com);
    FlushOutQ(com);
    FillTxBuf(order, pp);
    rx_flag = 0;
    nBytesW = WriteTxBuf(com);
    if (nBytesW == kFrameBytes) ShowStatus("Waiting for parameter-frame ...");
    WaitRxFull();
    if (rx_flag != 1) {
        // "Waiting for parameter-frame ..." must not outlive the wait: the operator would
        // take the variables for the controller's.
        ShowStatus();
        return 0;
    }
    GetRxBuf(PNUM);
    CopyPPtoVars(flag);
    ShowStatus("Parameter-frame received! - Line Ok!");
    return 1;
}

int GetVERSIONInfo() {
    RemoveReceiveNotification();
    FlushInQ(com);
    FlushOutQ(com);
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
        SetStatusText(szVersion);
    } else if (!timedOut) {
        // More than one block came: no text can be trusted, and the line check's text
        // must not stand as if all were well.
        SetStatusText(kFirmwareErrorText);
    }

    InstallReceiveNotification();
    FlushInQ(com);
    FlushOutQ(com);
    rx_flag = 0;
    ShowStatus();
    return n;
}

}  // namespace kervano
