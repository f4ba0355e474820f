// The RS-232 calls of serial_port.h, each handed to the active back end; reads, writes and input
// flushes also reach the traffic tap while it listens.
#include "platform/serial/serial_port.h"

#include "platform/serial/com_service.h"
#include "platform/serial/traffic_tap.h"

namespace {
int eventsDepth = 0;
}  // namespace

int OpenComConfig(int port, const char* /*deviceName*/, long baudRate, int parity, int dataBits,
                  int stopBits, int /*inputQueueSize*/, int /*outputQueueSize*/) {
    // The device comes from the port table, not from the caller; the queues grow as needed.
    return ActiveComService().open(port, baudRate, parity, dataBits, stopBits);
}

int CloseCom(int port) {
    return ActiveComService().close(port);
}

int SetComTime(int port, double timeoutSeconds) {
    return ActiveComService().setTimeout(port, timeoutSeconds);
}

int SetCTSMode(int port, int mode) {
    return ActiveComService().setCtsMode(port, mode);
}

int InstallComCallback(int port, int eventMask, int notifyCount, int eventCharacter,
                       ComCallbackPtr callback, void* callbackData) {
    return ActiveComService().installCallback(port, eventMask, notifyCount, eventCharacter,
                                              callback, callbackData);
}

int ComRd(int port, char* buffer, int count) {
    const int read = ActiveComService().read(port, buffer, count);
    if (TrafficTapped()) TapComRead(port, buffer, count, read);
    return read;
}

int ComWrt(int port, const char* buffer, int count) {
    const int written = ActiveComService().write(port, buffer, count);
    if (TrafficTapped()) TapComWrite(port, buffer, count, written);
    return written;
}

int FlushInQ(int port) {
    if (TrafficTapped()) TapFlushIn(port);
    return ActiveComService().flushIn(port);
}

int FlushOutQ(int port) {
    return ActiveComService().flushOut(port);
}

int GetInQLen(int port) {
    return ActiveComService().inQueueLength(port);
}

int ComWaitInQ(int port, int count, double seconds) {
    return ActiveComService().waitForInput(port, count, seconds);
}

double Timer() {
    return ActiveComService().timer();
}

void Delay(double seconds) {
    ActiveComService().delay(seconds);
}

int ProcessSystemEvents() {
    ++eventsDepth;
    const int result = ActiveComService().processSystemEvents();
    --eventsDepth;
    return result;
}

int ProcessSystemEventsDepth() {
    return eventsDepth;
}

std::string ComOpenFailureReason(int port) {
    return ActiveComService().openFailureReason(port);
}

int ComDeviceGone(int port) {
    return ActiveComService().deviceGone(port) ? 1 : 0;
}

int ComDevicePresent(int port) {
    return ActiveComService().devicePresent(port) ? 1 : 0;
}

std::string ComPortRemark(int port) {
    return ActiveComService().portRemark(port);
}
