#include "link/raw_reply.h"

#include "link/frame.h"
#include "link/link_state.h"
#include "link/port_setup.h"
#include "platform/serial/rs232.h"

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

}  // namespace kervano
