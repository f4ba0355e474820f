#include "link/reply_filter.h"

#include <bitset>

#include "link/frame.h"

namespace kervano {

namespace {
constexpr int kOrderCodes = 64;  // order words above this were never sent by the program
std::bitset<kOrderCodes> ordersSent;
int awaited = -1;
unsigned repliesTaken = 0;

int OrderWord(const unsigned char* frame) {
    return frame[2] * 256 + frame[3];
}
}  // namespace

void NoteFrameWritten(const unsigned char* frame) {
    awaited = OrderWord(frame);
    if (awaited < kOrderCodes) ordersSent.set(static_cast<size_t>(awaited));
}

void ForgetOrdersSent() {
    ordersSent.reset();
    awaited = -1;
}

int OrderAwaited() {
    return awaited;
}

bool IsLateReply(const unsigned char* frame) {
    const int word = OrderWord(frame);
    return word != awaited && word < kOrderCodes && ordersSent.test(static_cast<size_t>(word));
}

void NoteReplyTaken() {
    ++repliesTaken;
}

unsigned RepliesTaken() {
    return repliesTaken;
}

bool HasFrameSync(const unsigned char* frame) {
    return frame[0] * 256 + frame[1] == (sync & 0xFFFF);
}

}  // namespace kervano
