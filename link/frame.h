// Frames on the serial line: 36 bytes, a sync word, an order word and sixteen payload
// words, every word big-endian. The two byte buffers frames are built and received in,
// and the packet buffer pp.
#pragma once

namespace kervano {

constexpr int PNUM = 16;                   // payload words in a frame
constexpr int kFrameBytes = PNUM * 2 + 4;  // 36
constexpr int kBufferBytes = 1024;

// Order codes.
constexpr int ORDER_WRITE_RAM = 1;
constexpr int ORDER_READ_RAM = 2;
constexpr int ORDER_WRITE_EEPROM = 3;
constexpr int ORDER_READ_EEPROM = 4;
constexpr int ORDER_ECHO = 5;
constexpr int ORDER_TEACH = 6;
constexpr int ORDER_FIRMWARE = 7;
constexpr int ORDER_MONITOR = 8;
constexpr int ORDER_DATA = 9;
constexpr int ORDER_RESET = 10;

extern int sync;   // low 16 bits: the frame's sync word (0x0055)
extern int order;  // order of the frame being built, or of the last frame received
extern unsigned char szWriteBuf[kBufferBytes];
extern unsigned char szReadBuf[kBufferBytes];
extern unsigned short pp[PNUM];  // payload of the last frame packed or received
extern int nBytesW;              // count of the last write
extern int nBytesR;              // count of the last read

// Builds a frame for order from values[0..15] in szWriteBuf. Sends nothing.
int FillTxBuf(int orderCode, const unsigned short* values);
// Writes the 36 bytes of szWriteBuf to port; returns the count the port took.
int WriteTxBuf(int port);
// Unpacks szReadBuf: its order word into order, count payload words into pp. Returns count.
int GetRxBuf(int count);

}  // namespace kervano
