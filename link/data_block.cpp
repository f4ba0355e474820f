#include "link/data_block.h"

#include "link/frame.h"
#include "link/port_setup.h"
#include "link/raw_reply.h"
#include "platform/serial/rs232.h"

namespace kervano {

unsigned short yArrayA[kCurveWords];
unsigned short yArrayB[kCurveWords];

namespace {
constexpr double kBlockTimeout = 1.5;
constexpr int kBlockWords = 64;
constexpr int kBlockBytes = kBlockWords * 2;
constexpr int kCurveHalf = 128;

// Where the block of a start index goes; nullptr drops it.
unsigned short* BlockDestination(int startIndex) {
    switch (startIndex) {
        case 0:
            return yArrayA;
        case 64:
            return yArrayA + kBlockWords;
        case 128:
            return yArrayB;
        case 192:
            return yArrayB + kBlockWords;
        default:
            return nullptr;
    }
}

void BuildBlockRequest(int startIndex, int second, int orderCode) {
    unsigned short payload[PNUM] = {};
    payload[0] = static_cast<unsigned short>(startIndex & 0xFFFF);
    payload[1] = static_cast<unsigned short>(second & 0xFFFF);
    FillTxBuf(orderCode, payload);
}
}  // namespace

int ReadData64(int startIndex, int second, int orderCode) {
    BuildBlockRequest(startIndex, second, orderCode);
    FlushInQ(com);
    FlushOutQ(com);
    rx_flag = 0;
    nBytesW = WriteTxBuf(com);
    ShowStatus("Waiting for Data[64] ...");

    bool timedOut = false;
    const int n = WaitForRawReply(kBlockBytes, kBlockTimeout, timedOut);
    if (timedOut) {
        SetStatusText("Timeout-RS-232 while reading 64 data-words!");
        for (int i = 0; i < kCurveHalf; ++i) yArrayA[i] = yArrayB[i] = 0;
    }

    ReadRawReply(n);
    int result = 0;
    if (nBytesR == kBlockBytes) {
        SetStatusText("Data[64] block received!");
        result = kBlockWords;
        if (unsigned short* dest = BlockDestination(startIndex)) {
            for (int k = 0; k < kBlockWords; ++k) {
                dest[k] =
                    static_cast<unsigned short>(szReadBuf[2 * k] * 256 + szReadBuf[2 * k + 1]);
            }
        }
    }
    ShowStatus();
    return result;
}

}  // namespace kervano
