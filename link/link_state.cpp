#include "link/link_state.h"

#include <algorithm>
#include <vector>

#include "link/line_figures.h"
#include "link/port_setup.h"
#include "platform/serial/serial_port.h"

namespace kervano {

LinkState linkState = LINK_PORT_CLOSED;
LinkClosedCause linkClosedCause = LINK_NOT_OPENED;
int linkPort = 0;

namespace {
std::vector<LinkStateListener>& Listeners() {
    static std::vector<LinkStateListener> listeners;
    return listeners;
}

void Set(LinkState state, LinkClosedCause cause, int port) {
    // A reply is taken in with every monitor frame: only a change is worth telling.
    if (state == linkState && cause == linkClosedCause && port == linkPort) return;
    linkState = state;
    linkClosedCause = cause;
    linkPort = port;
    const std::vector<LinkStateListener> all = Listeners();  // a listener may remove itself
    for (LinkStateListener listener : all) listener();
}

void Close(LinkClosedCause cause, int port) {
    Set(LINK_PORT_CLOSED, cause, port);
}
}  // namespace

void LinkPortOpened(int port, int result) {
    if (result < 0) {
        Close(LINK_OPEN_FAILED, port);
    } else {
        Set(LINK_NOT_ANSWERING, LINK_NOT_OPENED, port);
    }
}

void LinkReplied(bool replied) {
    CountReplyOutcome(replied, Timer());
    if (replied) {
        // A frame taken in proves the port open, whatever was known before.
        Set(LINK_ANSWERING, LINK_NOT_OPENED, com);
    } else if (linkState != LINK_PORT_CLOSED && !LinkCheckDevice()) {
        Set(LINK_NOT_ANSWERING, LINK_NOT_OPENED, linkPort);
    }
}

void LinkPortClosed() {
    Close(LINK_CLOSED, com);
}

bool LinkCheckDevice() {
    if (linkState == LINK_PORT_CLOSED || ComDeviceGone(linkPort) == 0) return false;
    Close(LINK_DEVICE_GONE, linkPort);
    return true;
}

void ResetLinkState() {
    Set(LINK_PORT_CLOSED, LINK_NOT_OPENED, 0);
}

void AddLinkStateListener(LinkStateListener listener) {
    auto& all = Listeners();
    if (listener != nullptr && std::find(all.begin(), all.end(), listener) == all.end())
        all.push_back(listener);
}

}  // namespace kervano
