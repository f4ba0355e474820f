// Serial-port service: the RS-232 calls, the clock and the event pump in the
// shapes the device link uses. Every call goes through the active ComService
// back end (host serial ports by default, a simulated line in tests).
#pragma once

#include <string>

// Event bits of the receive notification.
constexpr int kComEventChar = 0x0002;         // the event character arrived
constexpr int kComEventOutputEmpty = 0x0004;  // the output queue ran empty
constexpr int kComEventNotifyCount = 0x8000;  // at least the notify count of bytes waits

// Error codes of OpenComConfig and the other calls.
constexpr int kComUnknownSystemError = -1;
constexpr int kComInvalidPort = -2;
constexpr int kComPortNotOpen = -3;
constexpr int kComIoError = -4;
constexpr int kComNoSerialPort = -6;
constexpr int kComCannotOpen = -7;
constexpr int kComInvalidParameter = -13;
constexpr int kComTimeout = -99;

using ComCallbackPtr = void (*)(int port, int eventMask, void* callbackData);

int OpenComConfig(int port, const char* deviceName, long baudRate, int parity, int dataBits,
                  int stopBits, int inputQueueSize, int outputQueueSize);
int CloseCom(int port);
int SetComTime(int port, double timeoutSeconds);
int SetCTSMode(int port, int mode);
// mask 0 with a null routine switches the notification off.
int InstallComCallback(int port, int eventMask, int notifyCount, int eventCharacter,
                       ComCallbackPtr callback, void* callbackData);
// Blocks until count bytes arrived or the port time-out passed; returns the number read.
int ComRd(int port, char* buffer, int count);
// Returns the number of bytes written, or a negative code when the port is not open.
int ComWrt(int port, const char* buffer, int count);
int FlushInQ(int port);
int FlushOutQ(int port);
// Bytes waiting in the input queue; exact, without processing events.
int GetInQLen(int port);
// Sleeps on the port, processing no events, until count bytes wait in the input queue or
// seconds have passed; returns the bytes waiting then (negative when the port is not open).
// A wait for a reply without a frame header costs no processor time this way.
int ComWaitInQ(int port, int count, double seconds);

// Seconds from a fixed start.
double Timer();
// Returns after the given time; processes no events.
void Delay(double seconds);
// Runs pending user-interface events and serial notifications, then returns. When nothing
// is pending it may wait a few milliseconds for the next event; arriving serial data ends
// that wait at once.
int ProcessSystemEvents();
// How deeply ProcessSystemEvents calls are nested now: 0 when none runs. Work that must not
// run inside a command's wait (a port set-up of its own) asks this first.
int ProcessSystemEventsDepth();

// The operating system's own words for the last failed OpenComConfig on this port
// ("Permission denied", ...), empty when there is none.
std::string ComOpenFailureReason(int port);
// 1 when port is open but its device went away (an adapter unplugged, a pty hung up):
// nothing passes until the port is closed and opened again. Else 0.
int ComDeviceGone(int port);
// 1 when the device behind port number is there to be opened (plugged in), else 0.
int ComDevicePresent(int port);
// How the open port's line is set up ("Low-latency mode not set on /dev/pts/3: ..."), for
// its tooltip; "" when there is nothing to say or the port is not open.
std::string ComPortRemark(int port);
