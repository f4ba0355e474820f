#include "tests/support/sim_controller.h"

#include "link/frame.h"

SimController::SimController(SimLine& line, int port) : port_(port), assembler_(0.02) {
    line.setPeer([this](SimLine& l, const std::vector<uint8_t>& bytes, double now) {
        onWrite(l, bytes, now);
    });
}

std::vector<int> SimController::orders() const {
    std::vector<int> out;
    for (const Request& r : requests_) out.push_back(r.order);
    return out;
}

void SimController::onWrite(SimLine& line, const std::vector<uint8_t>& bytes, double now) {
    for (const auto& frame : assembler_.feed(bytes.data(), bytes.size(), now)) {
        Request request{frame[2] * 256 + frame[3], {}, now};
        for (int k = 0; k < 16; ++k) {
            request.payload.push_back(
                static_cast<uint16_t>(frame[4 + 2 * k] * 256 + frame[5 + 2 * k]));
        }
        sim::Reply reply = model_.handleFrame(frame.data(), now);
        if (hook_) hook_(request.order, request.payload.data(), reply);
        requests_.push_back(std::move(request));
        if (reply.byteGap > 0.0) {
            for (size_t k = 0; k < reply.bytes.size(); ++k) {
                const double gaps = reply.byteGap * static_cast<double>(k);
                line.deliver(port_, {reply.bytes[k]}, now + reply.delay + gaps + WireTime(k + 1));
            }
        } else if (!reply.bytes.empty()) {
            line.deliver(port_, reply.bytes, now + reply.delay + WireTime(reply.bytes.size()));
        }
    }
}

void NumberMonitorReplies(SimController& controller, int& sent) {
    controller.setReplyHook([&sent](int order, const uint16_t*, sim::Reply& reply) {
        if (order != kervano::ORDER_MONITOR) return;
        const int n = ++sent;
        std::vector<uint16_t> words(13, 0);
        for (int k = 0; k < 4; ++k) {
            words[k] = static_cast<uint16_t>(3000 + 100 * k + n);
            words[4 + k] = static_cast<uint16_t>(100 + 100 * k + n);
        }
        words[12] = static_cast<uint16_t>(n);
        reply.bytes = MakeFrame(kervano::ORDER_MONITOR, words);
    });
}
