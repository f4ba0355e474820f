// Replies without a frame header (firmware info, data blocks) are read straight from the
// input queue while the receive notification is off.
#pragma once

namespace kervano {

// Waits on the input queue, without processing events, until wanted bytes wait or more
// than limit seconds have passed (tstart and tdiff keep the wait's times). Returns the bytes
// waiting; timedOut tells whether the limit ended the wait.
int WaitForRawReply(int wanted, double limit, bool& timedOut);
// Reads exactly the n bytes that wait into szReadBuf, never more than it holds; the count
// read is left in nBytesR and returned.
int ReadRawReply(int n);
// After a reply timed out, the rest of it may still be on the way: bytes are taken and set
// aside (reason as for the traffic tap) until a whole reply of expected bytes has come, the
// line has been quiet for quiet seconds, or limit seconds have passed. So a late reply is
// never read as the next request's. Processes no events.
void DrainLateReply(int expected, double quiet, double limit, int reason);

}  // namespace kervano
