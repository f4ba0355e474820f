#include "link/data_block.h"

#include "link/frame.h"
#include "link/port_setup.h"
#include "link/raw_reply.h"
#include "platform/serial/serial_port.h"
#include "platform/serial/traffic_tap.h"
#include "resources/status_line.h"

namespace kervano {

unsigned short yArrayA[kCurveWords];
unsigned short yArrayB[kCurveWords];
int dataBlockOk[kDataBlocks];

namespace {
constexpr int kBlockWords = 64;
constexpr int kBlockBytes = kBlockWords * 2;

// The slot in dataBlockOk of a start index, -1 for an index that names no block.
int BlockSlot(int startIndex) {
    switch (startIndex) {
        case 0:
            return 0;
        case 64:
            return 1;
        case 128:
            return 2;
        case 192:
            return 3;
        default:
            return -1;
    }
}

// Where the block of a slot goes; nullptr drops it.
unsigned short* BlockDestination(int slot) {
    if (slot < 0) return nullptr;
    return (slot < 2 ? yArrayA : yArrayB) + (slot % 2) * kBlockWords;
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
    FlushQueues(com);
    rx_flag = 0;
    nBytesW = WriteTxBuf(com);
    ShowStatus("Waiting for Data[64] ...");

    bool timedOut = false;
    const int n = WaitForRawReply(kBlockBytes, kBlockTimeout, timedOut);
    if (timedOut) {
        // Only this block's quarter is missing: the blocks already received keep their
        // places (its own words are cleared below).
        SetStatusText("Timeout-RS-232 while reading 64 data-words!");
    }

    ReadRawReply(n);
    int result = 0;
    const int slot = BlockSlot(startIndex);
    unsigned short* dest = BlockDestination(slot);
    if (nBytesR == kBlockBytes) {
        SetStatusText("Data[64] block received!");
        result = kBlockWords;
        if (dest != nullptr) {
            for (int k = 0; k < kBlockWords; ++k) {
                dest[k] =
                    static_cast<unsigned short>(szReadBuf[2 * k] * 256 + szReadBuf[2 * k + 1]);
            }
            dataBlockOk[slot] = 1;
        }
    } else {
        if (!timedOut) {
            // More than one block waited: none of it can be trusted, and the text of an
            // earlier block must not stand for this one.
            SetStatusText("Error reading 64 data-words!");
        }
        if (dest != nullptr) {
            for (int k = 0; k < kBlockWords; ++k) dest[k] = 0;
            dataBlockOk[slot] = 0;
        }
    }
    // A block that comes late must not be read as the next block.
    if (timedOut)
        DrainLateReply(kBlockBytes, kLateBlockQuiet, kLateBlockDrain, SET_ASIDE_LATE_BLOCK);
    ShowStatus();
    return result;
}

void ClearDataCurves() {
    for (int i = 0; i < kCurveWords; ++i) yArrayA[i] = yArrayB[i] = 0;
    for (int& ok : dataBlockOk) ok = 0;
}

int DataBlocksReceived() {
    int count = 0;
    for (int ok : dataBlockOk) count += ok != 0 ? 1 : 0;
    return count;
}

}  // namespace kervano
