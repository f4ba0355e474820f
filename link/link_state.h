// The link's state as the operator is to see it: whether the controller answers on the open
// port, or, when no port is open, why not. The link sets it where it learns it (an open, a
// reply taken in, a wait that timed out, a close); the panel's indicator and title listen.
#pragma once

namespace kervano {

enum LinkState {
    LINK_PORT_CLOSED,    // no port open: the open failed, it was closed, or its device went away
    LINK_NOT_ANSWERING,  // open, but the last wait timed out or the echo check failed
    LINK_ANSWERING,      // open, and the last exchange got its reply
};

// Why no port is open, while the state is LINK_PORT_CLOSED.
enum LinkClosedCause {
    LINK_NOT_OPENED,   // no port was opened yet
    LINK_OPEN_FAILED,  // the port set-up could not open it
    LINK_CLOSED,       // the program closed it (a change of port)
    LINK_DEVICE_GONE,  // the device behind it went away (unplugged, hung up)
};

extern LinkState linkState;
extern LinkClosedCause linkClosedCause;
extern int linkPort;  // the port the state is about

// The port set-up opened port; result is OpenComConfig's (negative: the open failed). An
// open port counts as not answering until a reply comes.
void LinkPortOpened(int port, int result);
// A wait for the controller ended, with its reply or without (a time-out, a failed echo
// check). A wait that got nothing because the port's device went away closes the link.
void LinkReplied(bool replied);
// The program closed the port.
void LinkPortClosed();
// Asks the serial service whether the open port's device went away, and closes the link if
// so. Returns true when that happened now.
bool LinkCheckDevice();
// Back to the first state: nothing opened yet.
void ResetLinkState();

// Listeners run after every change of state, cause or port.
using LinkStateListener = void (*)();
void AddLinkStateListener(LinkStateListener listener);

}  // namespace kervano
