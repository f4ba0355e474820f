// The receive path on arbitrary bytes at arbitrary times: a simulated line with a virtual
// clock carries the input's replies into the receive notification and the transactions
// that read the line (parameter reads, firmware info, data blocks, the echo check, a
// monitor exchange, the whole port set-up). After every transaction the link's buffers
// must be intact and the transaction must have ended within its time-out.
//
// Input layout:
//   byte 0           transactions to run: 1 + byte % 8
//   2 bytes each     a transaction: its kind (byte % 6) and one argument byte
//   the rest         replies; each frame the program writes takes the next one. A reply is
//                    chunks of [delay high][delay low][count] followed by count & 0x7F bytes;
//                    the delay (0.1 ms units) runs from the request or the previous chunk,
//                    and a count with bit 7 set ends the reply. Bytes still on their way
//                    when a transaction ends arrive during the next one.
// With KV_FUZZ_TRACE set in the environment every transaction is printed (to explain an
// input: ./fuzz_receive_path INPUT).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "link/data_block.h"
#include "link/frame.h"
#include "link/port_setup.h"
#include "link/transactions.h"
#include "params/param_set.h"
#include "platform/serial/serial_port.h"
#include "resources/status_line.h"
#include "tests/support/sim_line.h"

using namespace kervano;

namespace {

constexpr int kPort = 1;
constexpr double kSlack = 0.01;  // a few polls past a limit
constexpr int kKinds = 6;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// Plays the input's replies and remembers every byte sent, in the order it lands.
class ReplyScript {
  public:
    ReplyScript(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    void answer(SimLine& line, double now) {
        double at = now;
        while (pos_ + 3 <= size_) {
            const int delay = data_[pos_] << 8 | data_[pos_ + 1];
            const int count = data_[pos_ + 2];
            pos_ += 3;
            const size_t n = std::min<size_t>(count & 0x7F, size_ - pos_);
            // On the line's nanosecond clock, as every time it keeps: a time a hair past a
            // tick would land with that tick, ahead of bytes given later for the tick itself,
            // and this script would list them in another order than the line lands them.
            at = std::round((at + delay * 1e-4) * 1e9) / 1e9;
            if (n > 0) {
                std::vector<uint8_t> bytes(data_ + pos_, data_ + pos_ + n);
                line.deliver(kPort, bytes, at);
                chunks_.push_back(Chunk{at, std::move(bytes)});
            }
            pos_ += n;
            if ((count & 0x80) != 0) break;
        }
    }

    // Whether two neighbouring bytes on the line form word. The line lands bytes in time
    // order (the earlier given first at equal times), and flushing and reading only ever
    // take bytes from the front, so any word read from the line is one of these.
    bool onLine(unsigned word) const {
        std::vector<Chunk> sorted = chunks_;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const Chunk& a, const Chunk& b) { return a.time < b.time; });
        int previous = -1;
        for (const Chunk& c : sorted) {
            for (uint8_t b : c.bytes) {
                if (previous >= 0 && static_cast<unsigned>(previous << 8 | b) == word) return true;
                previous = b;
            }
        }
        return false;
    }

  private:
    struct Chunk {
        double time;
        std::vector<uint8_t> bytes;
    };
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    std::vector<Chunk> chunks_;
};

// Every run starts from the state of a freshly started program.
void ResetLinkState() {
    com = kPort;
    kervano::sync = 85;
    order = 1;
    rx_flag = 1;
    graphrefresh = 0;
    ret = 0;
    nBytesR = nBytesW = 0;
    std::memset(pp, 0, sizeof pp);
    std::memset(szReadBuf, 0, sizeof szReadBuf);
    std::memset(szWriteBuf, 0, sizeof szWriteBuf);
    std::memset(szStatus, 0, sizeof szStatus);
    std::memset(szVersion, 0, sizeof szVersion);
    std::memset(yArrayA, 0, sizeof yArrayA);
    std::memset(yArrayB, 0, sizeof yArrayB);
    maxmode = digcnt = digmode = 0;
    SetParameterDefaults();
    target = RAM;
}

// The port as port set-up leaves it before its echo check.
void OpenLikePortSetup() {
    Check(OpenComConfig(com, "", 19200, 0, 8, 1, 4096, 4096) == 0, "the simulated port opens");
    SetComTime(com, 2.0);
    FlushInQ(com);
    FlushOutQ(com);
    SetCTSMode(com, 0);
    InstallReceiveNotification();
}

// Runs one transaction; returns the longest virtual time it may take.
double RunTransaction(int kind, uint8_t arg, SimLine& line) {
    const double start = line.now();
    switch (kind) {
        case 0: {
            static constexpr int kTargets[] = {RAM, EEPROM, DATFILE};
            const int targetCode = kTargets[arg % 3];
            const int got = PushGET(targetCode, (arg >> 2) & 1);
            if (targetCode == DATFILE) return 0.0;
            // A reply that is no parameter frame is refused when it comes; any other
            // failure is the wait's whole 1.5 s.
            if (got == 0 && !StatusLineShows(kParameterFrameRefusedText))
                Check(line.now() - start >= 1.5, "the parameter wait lasts 1.5 s");
            return 1.5;
        }
        case 1: {
            const int n = GetVERSIONInfo();
            if (n < kVersionBytes) Check(line.now() - start >= 2.0, "firmware wait lasts 2 s");
            return 2.0;
        }
        case 2: {
            // The four block starts, or any other value.
            const int startIndex = (arg & 0x80) != 0 ? arg : (arg & 3) * 64;
            ReadData64(startIndex, (arg >> 2) & 1, ORDER_DATA);
            return kBlockTimeout + kLateBlockDrain + kLateBlockQuiet;
        }
        case 3:
            CheckComLine(com);
            return 0.05 + 2.0;
        case 4: {
            // One exchange of the live monitor.
            FillTxBuf(ORDER_MONITOR, pp);
            rx_flag = 0;
            nBytesW = WriteTxBuf(com);
            const int got = WaitRxFull();
            Check(got == 0 || rx_flag != 0, "a successful wait saw a frame");
            if (got == 0) Check(line.now() - start >= 1.5, "the reply wait lasts 1.5 s");
            return 1.5;
        }
        default:
            // The whole port set-up: echo check, both parameter reads, firmware info.
            InitRS232(com);
            return 0.05 + 2.0 + 1.5 + 1.5 + 2.0;
    }
}

void CheckLinkState(const SimLine& line, const ReplyScript& script) {
    Check(std::memchr(szStatus, 0, sizeof szStatus) != nullptr, "szStatus is terminated");
    Check(std::memchr(szVersion, 0, sizeof szVersion) != nullptr, "szVersion is terminated");
    Check(std::strlen(szVersion) <= 32, "firmware text of at most 32 characters");
    Check(nBytesR >= 0 && nBytesR <= kBufferBytes, "nBytesR within szReadBuf");

    // Each word of pp was packed for a request (and so went out at its place in a frame) or
    // came off the line.
    for (int k = 0; k < PNUM; ++k) {
        bool sent = pp[k] == 0;  // as the program starts
        for (const SimLine::Write& w : line.writes()) {
            sent = sent || (w.bytes.size() >= static_cast<size_t>(kFrameBytes) &&
                            (w.bytes[4 + 2 * k] << 8 | w.bytes[5 + 2 * k]) == pp[k]);
        }
        Check(sent || script.onLine(pp[k]), "pp holds only words from the line or a request");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t transactions = std::min<size_t>(1 + data[0] % 8, (size - 1) / 2);
    const size_t header = 1 + 2 * transactions;
    ReplyScript script(data + header, size - header);

    ResetLinkState();
    SimLine line;  // uninstalls itself when it goes
    SetComService(&line);
    line.setPeer(
        [&script](SimLine& l, const std::vector<uint8_t>&, double now) { script.answer(l, now); });
    OpenLikePortSetup();

    static const bool trace = std::getenv("KV_FUZZ_TRACE") != nullptr;
    for (size_t i = 0; i < transactions; ++i) {
        const double start = line.now();
        const int kind = data[1 + 2 * i] % kKinds;
        const double limit = RunTransaction(kind, data[2 + 2 * i], line);
        if (trace) {
            std::fprintf(stderr, "%.4f-%.4f s: transaction %d (%d): \"%s\" nBytesR %d \"%s\"\n",
                         start, line.now(), kind, data[2 + 2 * i], szStatus, nBytesR, szVersion);
        }
        Check(line.now() - start <= limit + kSlack, "transaction ends within its time-out");
        CheckLinkState(line, script);
    }
    return 0;
}
