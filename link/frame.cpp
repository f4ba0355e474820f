#include "link/frame.h"

#include "link/line_figures.h"
#include "link/reply_filter.h"
#include "platform/serial/serial_port.h"

namespace kervano {

int sync = 85;
int order = 1;
unsigned char szWriteBuf[kBufferBytes];
unsigned char szReadBuf[kBufferBytes];
unsigned short pp[PNUM];
int nBytesW = 0;
int nBytesR = 0;

namespace {
void PutWord(unsigned char* at, unsigned int word) {
    at[0] = static_cast<unsigned char>((word >> 8) & 0xFF);
    at[1] = static_cast<unsigned char>(word & 0xFF);
}
}  // namespace

int FillTxBuf(int orderCode, const unsigned short* values) {
    PutWord(szWriteBuf, static_cast<unsigned int>(sync));
    PutWord(szWriteBuf + 2, static_cast<unsigned int>(orderCode));
    for (int k = 0; k < PNUM; ++k) PutWord(szWriteBuf + 4 + 2 * k, values[k]);
    return kFrameBytes;
}

int WriteTxBuf(int port) {
    const int written = ComWrt(port, reinterpret_cast<const char*>(szWriteBuf), kFrameBytes);
    if (written == kFrameBytes) {
        NoteFrameWritten(szWriteBuf);
        CountFrameSent(Timer());
    }
    return written;
}

int GetRxBuf(int count) {
    order = szReadBuf[2] * 256 + szReadBuf[3];
    // Never unpack past the packet buffer, whatever the caller asks for.
    const int words = count < 0 ? 0 : (count > PNUM ? PNUM : count);
    for (int k = 0; k < words; ++k) {
        pp[k] = static_cast<unsigned short>(szReadBuf[4 + 2 * k] * 256 + szReadBuf[5 + 2 * k]);
    }
    return count;
}

}  // namespace kervano
