// Emulator of the two-channel controller: answers request frames as a real controller
// does, with optional faults for tests. Pure C++; the pty server and the tests feed it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace sim {

constexpr std::size_t kFrameBytes = 36;  // every request and reply
constexpr int kCurveLength = 128;        // samples of one stored curve

struct Faults {
    bool silent = false;               // never answers
    int echoWord = 0x00AA;             // payload word 0 of the echo reply
    double extraDelay = 0.0;           // seconds added before every reply
    std::set<int> ignoredOrders;       // orders left unanswered
    std::set<int> ignoredBlockStarts;  // order-9 block starts left unanswered
    bool garbage = false;              // prefix every reply with a few garbage bytes
    int partialBytes = -1;             // if >= 0, every reply is cut to this many bytes
    int hangupAfter = -1;              // if >= 0, answers only the first N frames
    // Full-packet word -> value the controller keeps there whatever it is sent (RAM and
    // EEPROM), as a controller that does not store what it was told.
    std::map<int, uint16_t> corruptWords;
};

struct Reply {
    std::vector<uint8_t> bytes;
    double delay = 0.0;    // seconds after the request
    double byteGap = 0.0;  // seconds between its bytes, as from a slow sender; 0: all at once
};

class ControllerModel {
  public:
    explicit ControllerModel(Faults faults = {});

    // Answers one 36-byte request frame received at time now (seconds); an empty reply
    // means no answer.
    Reply handleFrame(const uint8_t* frame, double now);

    // The stores, [layout][word]: layout 0 full packet, 1 short packet.
    uint16_t ram[2][16];
    uint16_t eeprom[2][16];
    uint16_t refTop() const { return ram[0][4]; }
    uint16_t refBot() const { return ram[0][5]; }
    std::string firmwareText = "SIM 1.31";
    Faults faults;
    // Frames taken in (a valid sync word), up to the hang-up if one is set.
    int framesAnswered() const { return framesSeen_; }
    // True once a hang-up fault has taken its frames: nothing is answered any more.
    bool hungUp() const;
    // The controller goes away now, as if its hang-up fault had just taken its frames.
    void hangUp() { faults.hangupAfter = framesSeen_; }

    // The monitor words (sixteen) and a curve sample at time now, for tests.
    std::vector<uint16_t> monitorWords(double now) const;
    uint16_t curveWord(int channel, int index, double now) const;

  private:
    // The reply bytes of one order before any fault shapes them; empty for no reply.
    std::vector<uint8_t> answer(int order, const uint16_t* request, double now);
    // Puts the corrupt-word faults into the full packets of both stores.
    void keepCorruptWords();

    int framesSeen_ = 0;
};

// Collects a byte stream into 36-byte frames. A pause in the stream longer than gapSeconds
// drops an incomplete frame, so the stream regains alignment after garbage.
class FrameAssembler {
  public:
    explicit FrameAssembler(double gapSeconds = 0.02) : gap_(gapSeconds) {}
    // Returns the frames completed by these bytes.
    std::vector<std::vector<uint8_t>> feed(const uint8_t* bytes, size_t count, double now);
    size_t buffered() const { return buffer_.size(); }

  private:
    double gap_;
    double last_ = -1.0;
    std::vector<uint8_t> buffer_;
};

}  // namespace sim
