// Which received frames are not the reply the program waits for. Any 36 bytes count as a
// reply, with two exceptions: a frame whose order word is that of another order the
// program sent (a monitor reply arriving after Stop while a parameter read waits) is a late
// reply and is set aside while the wait goes on; and a parameter reply whose sync word is
// not the frame's (a frame slipped by a byte on a noisy line) is refused.
#pragma once

namespace kervano {

// Called with every frame written whole: its order word is now the awaited one.
void NoteFrameWritten(const unsigned char* frame);
// A fresh port: no order has been sent on it yet.
void ForgetOrdersSent();
// The order word of the last frame written; -1 before any.
int OrderAwaited();
// True when frame (36 bytes) carries the order word of an order sent earlier, not the one
// awaited.
bool IsLateReply(const unsigned char* frame);
// Counts the frames the receive notification took as replies.
void NoteReplyTaken();
unsigned RepliesTaken();
// True when frame begins with the sync word (0x0055).
bool HasFrameSync(const unsigned char* frame);

}  // namespace kervano
