// A listener on what crosses the serial service: every write, every read and every input
// flush that threw bytes away, in plain types. The RS-232 calls (rs232.cpp) report here, so
// it hears real ports and the simulated line alike. With no listener set, each call costs
// one test of a pointer.
#pragma once

#include <cstdint>

enum class TrafficKind {
    Written,  // ComWrt: bytes the program asked to write, result what the port took
    Read,     // ComRd: bytes read, result their count (below requested: a short read)
    Flushed,  // FlushInQ: bytes that waited unread and were discarded
    SetAside,  // bytes read but not taken as the awaited reply; requested gives the reason
};

// Why read bytes were set aside (TrafficKind::SetAside).
enum SetAsideReason {
    SET_ASIDE_LATE_REPLY = 1,  // a frame of an earlier order, arriving during another's wait
    SET_ASIDE_BAD_SYNC = 2,    // a parameter reply whose sync word is not the frame's
    SET_ASIDE_LATE_BLOCK = 3,  // bytes drained after a data block timed out
};

struct TrafficEvent {
    TrafficKind kind;
    int port;
    double time;  // the service's Timer(), seconds
    int requested;
    int result;  // a count, or the service's negative error code
    const uint8_t* bytes;
    int count;
};

// Called on the program's thread from inside the RS-232 call; must not call the serial
// service itself. The event's bytes are valid only during the call.
using TrafficListener = void (*)(const TrafficEvent& event, void* data);

// One listener at a time; nullptr removes it.
void SetTrafficListener(TrafficListener listener, void* data);

namespace traffic_detail {
extern TrafficListener listener;
}

inline bool TrafficTapped() {
    return traffic_detail::listener != nullptr;
}

// The RS-232 calls report through these, only while TrafficTapped().
void TapComWrite(int port, const char* buffer, int requested, int written);
void TapComRead(int port, const char* buffer, int requested, int read);
// The program read these bytes and did not take them (reason: SetAsideReason).
void TapSetAside(int port, const unsigned char* bytes, int count, int reason);
// Takes what waits in port's input queue, so the listener sees the bytes a flush discards;
// the caller flushes right after, as it would have.
void TapFlushIn(int port);
