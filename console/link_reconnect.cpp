#include "console/link_reconnect.h"

#include <algorithm>

#include "link/link_state.h"
#include "link/port_setup.h"
#include "params/panel_binding.h"
#include "params/param_state.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/control_events.h"
#include "resources/status_line.h"

namespace kervano {

namespace {
// A device that is there but cannot be opened yet (its permissions still being set, another
// program holding it) is tried again after 1, 2, 4 ... turns, at most this many.
constexpr int kLongestRetryGap = 16;

int lostPort = 0;         // the port whose device went away, awaited back; 0 for none
bool told = false;        // the loss is on the status line
bool neverThere = false;  // the device was missing when the port was to be opened
int retryGap = 1;
int turnsToWait = 0;

void Forget() {
    lostPort = 0;
    told = false;
    neverThere = false;
    retryGap = 1;
    turnsToWait = 0;
}
// Port set-up puts what it reads on the panel; the operator's unsent values are put back
// over it, so the panel marks them against the values just read. Nobody is asked.
void ReopenKeepingUnsentValues() {
    const ParameterState before = CurrentParameterState();
    InitRS232(com);
    unsigned short fields[kParameterCount];
    ReadPanelFields(fields);
    for (int p = 0; p < kParameterCount; ++p) {
        if (before.fields[p].unsent) fields[p] = before.fields[p].panel;
    }
    WritePanelFields(fields);
}
}  // namespace

bool ProgramIsIdle() {
    return kvui::CtrlCallbackDepth() == 0 && ProcessSystemEventsDepth() == 0;
}

void WatchLinkDevice(bool mayReopen) {
    LinkCheckDevice();
    if (lostPort == 0 && linkState == LINK_PORT_CLOSED && linkPort == com) {
        if (linkClosedCause == LINK_DEVICE_GONE) {
            lostPort = linkPort;
        } else if (linkClosedCause == LINK_OPEN_FAILED && ComDevicePresent(com) == 0) {
            // The open's own text ("No serial port found") already says what is missing.
            lostPort = linkPort;
            told = true;
            neverThere = true;
        }
    }
    if (lostPort == 0) return;
    // The link is up again, or the operator has moved to another port: nothing to await.
    if (linkState != LINK_PORT_CLOSED || com != lostPort) return Forget();
    if (!mayReopen || !ProgramIsIdle()) return;

    if (!told) {
        ShowStatus(kDeviceGoneText);
        told = true;
    }
    if (ComDevicePresent(com) == 0) {
        retryGap = 1;
        turnsToWait = 0;
        return;
    }
    if (turnsToWait > 0) {
        --turnsToWait;
        return;
    }
    ShowStatus(neverThere ? kDeviceFoundText : kDeviceBackText);
    CloseCom(com);
    ReopenKeepingUnsentValues();
    if (linkState != LINK_PORT_CLOSED) return Forget();
    turnsToWait = retryGap;
    retryGap = std::min(2 * retryGap, kLongestRetryGap);
}

}  // namespace kervano
