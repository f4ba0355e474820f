// Bringing the line up: opening the port, the receive notification, the bounded wait for a
// notified reply and the echo check.
#pragma once

#include "resources/status_line.h"

namespace kervano {

constexpr int eventMask = 0x8006;
constexpr int kNotifyCount = 36;

extern int com;           // COM port in use
extern int rx_flag;       // 1 once a reply frame was taken in
extern int graphrefresh;  // 1 with every frame taken in; the monitor redraws and clears it
extern int ret;           // result of the last WaitRxFull
extern double tstart;     // start of the wait in progress (shared by every wait)
extern double tdiff;      // time elapsed in that wait

// Discards whatever waits in the port's input and output queues, as every request does
// before it writes.
void FlushQueues(int port);
// Status text of an OpenComConfig error code.
const char* ComErrorText(int code);
// Puts why a frame did not go out whole into szStatus: the port's error for a negative
// count ("Port is not open - ..."), else a transmit error; what names what was lost
// ("parameters not sent!").
void SetWriteFailureText(int written, const char* what);

// Returns 1 when the line passed the echo check and both parameter packets and the firmware
// text were read, 0 otherwise (the status line says which step failed).
int InitRS232(int port);
void RX_Receive_Function(int port, int events, void* data);
int WaitRxFull();
int CheckComLine(int port);
// Installs the receive notification as port set-up does, or switches it off.
void InstallReceiveNotification();
void RemoveReceiveNotification();

}  // namespace kervano
