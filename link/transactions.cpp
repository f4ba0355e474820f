#include "link/transactions.h"

#include <cstring>

#include "link/frame.h"
#include "link/packet.h"
#include "link/port_setup.h"
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

void PushGET(int targetCode, int flag) {
    if (targetCode == DATFILE) return;
    order = targetCode == EEPROM ? ORDER_READ_EEPROM : ORDER_READ_RAM;
    CopyVarsToPP(flag);
    FlushInQ(com);
    FlushOutQ(com);
    FillTxBuf(order, pp);
    rx_flag = 0;
    nBytesW = ComWrt(com, reinterpret_cast<const char*>(szWriteBuf), kFrameBytes);
    if (nBytesW == kFrameBytes) ShowStatus("Waiting for parameter-frame ...");
    WaitRxFull();
    if (rx_flag == 1) {
        GetRxBuf(PNUM);
        CopyPPtoVars(flag);
        ShowStatus("Parameter-frame received! - Line Ok!");
    }
}

int GetVERSIONInfo() {
    RemoveReceiveNotification();
    FlushInQ(com);
    FlushOutQ(com);
    order = ORDER_FIRMWARE;
    FillTxBuf(ORDER_FIRMWARE, pp);
    nBytesW = ComWrt(com, reinterpret_cast<const char*>(szWriteBuf), kFrameBytes);
    ShowStatus("Waiting for firmware info ...");

    int n = 0;
    tstart = Timer();
    for (;;) {
        n = GetInQLen(com);
        tdiff = Timer() - tstart;
        if (tdiff > kFirmwareTimeout) {
            SetStatusText("Timeout - reading firmware info!");
            break;
        }
        if (n >= kVersionBytes) break;
    }

    szVersion[0] = '\0';
    // Read exactly what waited, but never more than the buffer holds.
    const int toRead = n < 0 ? 0 : (n > kBufferBytes ? kBufferBytes : n);
    nBytesR = ComRd(com, reinterpret_cast<char*>(szReadBuf), toRead);
    if (nBytesR == kVersionBytes) {
        BuildVersionText();
        SetStatusText(szVersion);
    }

    InstallReceiveNotification();
    FlushInQ(com);
    FlushOutQ(com);
    rx_flag = 0;
    ShowStatus();
    return n;
}

}  // namespace kervano
