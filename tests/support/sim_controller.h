// The controller emulator as the peer of a simulated line: every frame the program writes
// is answered by the model at the virtual time its reply is due. Tests can reshape any
// reply (delay it, drop it, replace its bytes, space them out) per order.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "sim/controller_model.h"
#include "tests/support/frames.h"
#include "tests/support/sim_line.h"

class SimController {
  public:
    // Gets the request's order word and payload, and the model's reply; may change the
    // reply's bytes, delay or byte gap, or clear the bytes to stay silent.
    using ReplyHook = std::function<void(int order, const uint16_t* payload, sim::Reply& reply)>;

    explicit SimController(SimLine& line, int port = 1);

    sim::ControllerModel& model() { return model_; }
    void setReplyHook(ReplyHook hook) { hook_ = std::move(hook); }
    // Seconds a reply of n bytes takes on the wire (19200 baud, 10 bits a byte).
    static double WireTime(size_t bytes) { return static_cast<double>(bytes) * 10.0 / 19200.0; }

    // Requests seen so far, as (order, payload).
    struct Request {
        int order;
        std::vector<uint16_t> payload;
        double time;
    };
    const std::vector<Request>& requests() const { return requests_; }
    void clearRequests() { requests_.clear(); }
    std::vector<int> orders() const;

  private:
    void onWrite(SimLine& line, const std::vector<uint8_t>& bytes, double now);

    int port_;
    sim::ControllerModel model_;
    sim::FrameAssembler assembler_;
    ReplyHook hook_;
    std::vector<Request> requests_;
};

// Makes the controller's monitor replies known values: reply n (counted in sent, from 1)
// carries raw values 3000 + n (TOP1), 3100 + n, 3200 + n, 3300 + n (BOT2), normalised values
// 100 + n to 400 + n, and n as its count, so the Count read-out names the last one drawn.
void NumberMonitorReplies(SimController& controller, int& sent);
