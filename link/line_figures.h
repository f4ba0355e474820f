// The line's figures over this run: frames sent, replies taken, replies that did not come,
// frames and bytes read but set aside, and the time replies took. Plain counters bumped
// where the link already decides each of these, so keeping them costs nothing noticeable.
#pragma once

namespace kervano {

struct LineFigures {
    long framesSent = 0;        // request frames that went out whole
    long replies = 0;           // replies taken in
    long repliesMissing = 0;    // waits that ended without the reply (time-out, no port)
    long framesSetAside = 0;    // reads not taken as the awaited reply
    long bytesSetAside = 0;
};

extern LineFigures lineFigures;

// The median time from the last frame sent to its reply over the most recent replies, in
// seconds; -1 before the first.
double MedianReplySeconds();
// Frames sent a second over the last window seconds (since the oldest frame in them, so a
// run that began within the window is not diluted); 0 when none went out in that time.
double FramesPerSecond(double now, double window);
// Starts the figures again (another port; tests).
void ResetLineFigures();

// Where the link decides: a frame went out whole at time (the service's clock), a wait
// ended with or without its reply at time, bytes were read and set aside (the traffic tap
// hears them too, with reason).
void CountFrameSent(double time);
void CountReplyOutcome(bool replied, double time);
void SetAsideRead(int port, const unsigned char* bytes, int count, int reason);

}  // namespace kervano
