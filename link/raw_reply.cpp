#include "link/raw_reply.h"

#include "link/frame.h"
#include "link/line_figures.h"
#include "link/link_state.h"
#include "link/port_setup.h"
#include "platform/serial/serial_port.h"
#include "platform/serial/traffic_tap.h"

namespace kervano {

int WaitForRawReply(int wanted, double limit, bool& timedOut) {
    int n = 0;
    timedOut = false;
    tstart = Timer();
    for (;;) {
        n = GetInQLen(com);
        tdiff = Timer() - tstart;
        if (tdiff > limit) {
            timedOut = true;
            break;
        }
        if (n >= wanted) break;
        // Sleep on the port until the reply is complete or the limit has passed, rather
        // than asking again and again: the wait then costs no processor time.
        ComWaitInQ(com, wanted, limit - tdiff);
    }
    LinkReplied(!timedOut);
    return n;
}

int ReadRawReply(int n) {
    const int toRead = n < 0 ? 0 : (n > kBufferBytes ? kBufferBytes : n);
    nBytesR = ComRd(com, reinterpret_cast<char*>(szReadBuf), toRead);
    return nBytesR;
}

void DrainLateReply(int expected, double quiet, double limit, int reason) {
    const double start = Timer();
    int waiting = GetInQLen(com);
    while (waiting >= 0 && waiting < expected && !(Timer() - start > limit)) {
        const int now = ComWaitInQ(com, waiting + 1, quiet);
        if (now <= waiting) break;  // quiet: nothing more is coming
        waiting = now;
    }
    if (waiting <= 0) return;
    char late[kBufferBytes];
    const int n = ComRd(com, late, waiting < kBufferBytes ? waiting : kBufferBytes);
    if (n > 0) SetAsideRead(com, reinterpret_cast<unsigned char*>(late), n, reason);
    FlushInQ(com);
}

}  // namespace kervano
