#include "tests/support/sim_line.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Virtual times live on a nanosecond grid, so that a thousand 1 ms polls make exactly one
// second and a byte scheduled at a round time lands in the poll that reaches it.
constexpr double kGrid = 1e9;
constexpr double kDueSlack = 0.5 / kGrid;

double OnGrid(double t) {
    return std::round(t * kGrid) / kGrid;
}

bool Due(double time, double now) {
    return time <= now + kDueSlack;
}

}  // namespace

SimLine::SimLine() = default;

SimLine::~SimLine() {
    // A test that forgets to restore the host back end must not leave a dangling service.
    if (&ActiveComService() == this) SetComService(nullptr);
}

void SimLine::setPeer(Peer peer) {
    peer_ = std::move(peer);
}

double SimLine::timer() {
    now_ = OnGrid(now_ + 1.0 / kGrid);
    return now_;
}

void SimLine::deliver(int port, const std::vector<uint8_t>& bytes, double atTime) {
    if (bytes.empty() || !std::isfinite(atTime)) return;
    // Kept in time order; bytes for the same moment keep the order they were given in.
    const auto at = std::upper_bound(pending_.begin(), pending_.end(), atTime,
                                     [](double t, const Pending& p) { return t < p.time; });
    pending_.insert(at, Pending{port, atTime, bytes});
}

void SimLine::at(double atTime, std::function<void()> action) {
    if (!action || std::isnan(atTime)) return;
    actions_.emplace_back(atTime, std::move(action));
}

void SimLine::setOpenResult(int port, int result, const std::string& reason) {
    PortState& s = state(port);
    s.openResult = result;
    s.reason = result == 0 ? std::string() : reason;
}

void SimLine::setWriteLimit(int port, int maxBytes) {
    state(port).writeLimit = maxBytes;
}

void SimLine::unplug(int port) {
    PortState& s = state(port);
    s.unplugged = true;
    if (s.open) s.failed = true;
    std::erase_if(pending_, [port](const Pending& p) { return p.port == port; });
}

void SimLine::plugIn(int port) {
    state(port).unplugged = false;
}

bool SimLine::deviceGone(int port) {
    const PortState* s = openState(port);
    return s != nullptr && s->failed;
}

bool SimLine::devicePresent(int port) {
    const auto it = ports_.find(port);
    return it == ports_.end() || !it->second.unplugged;
}

bool SimLine::isOpen(int port) const {
    const auto it = ports_.find(port);
    return it != ports_.end() && it->second.open;
}

int SimLine::notificationMask(int port) const {
    const auto it = ports_.find(port);
    return it != ports_.end() && it->second.open && it->second.callback != nullptr ? it->second.mask
                                                                                   : 0;
}

SimLine::PortState* SimLine::openState(int port) {
    const auto it = ports_.find(port);
    return it != ports_.end() && it->second.open ? &it->second : nullptr;
}

void SimLine::advanceTo(double t) {
    if (t > now_) now_ = OnGrid(t);
    size_t landed = 0;
    while (landed < pending_.size() && Due(pending_[landed].time, now_)) ++landed;
    for (size_t i = 0; i < landed; ++i) {
        const Pending& p = pending_[i];
        PortState* s = openState(p.port);
        if (s == nullptr || s->failed) continue;  // nobody listens: lost, as on a wire
        s->inQueue.insert(s->inQueue.end(), p.bytes.begin(), p.bytes.end());
        s->newBytes = true;
        if ((s->mask & kComEventChar) != 0 &&
            std::find(p.bytes.begin(), p.bytes.end(), static_cast<uint8_t>(s->eventChar)) !=
                p.bytes.end())
            s->pendingEvents |= kComEventChar;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(landed));
}

int SimLine::open(int port, long baudRate, int parity, int dataBits, int stopBits) {
    std::string problem;
    const int invalid =
        CheckComOpenParameters(port, baudRate, parity, dataBits, stopBits, &problem);
    if (invalid != 0) {
        state(port).reason = problem;
        return invalid;
    }
    close(port);
    PortState& s = state(port);
    if (s.openResult != 0) return s.openResult;
    if (s.unplugged) {
        s.reason = "the device is unplugged";
        return kComNoSerialPort;
    }
    s.open = true;
    s.failed = false;
    s.timeout = 10.0;
    s.reason.clear();
    return 0;
}

int SimLine::close(int port) {
    PortState* s = openState(port);
    if (s == nullptr) return 0;
    s->open = false;
    s->failed = false;
    s->mask = 0;
    s->callback = nullptr;
    s->data = nullptr;
    s->inQueue.clear();
    s->pendingEvents = 0;
    s->newBytes = false;
    return 0;
}

int SimLine::setTimeout(int port, double seconds) {
    PortState* s = openState(port);
    if (s == nullptr) return kComPortNotOpen;
    if (const int invalid = CheckComTimeout(seconds)) return invalid;
    s->timeout = seconds;
    return 0;
}

int SimLine::setCtsMode(int port, int mode) {
    if (openState(port) == nullptr) return kComPortNotOpen;
    return CheckComCtsMode(mode);
}

int SimLine::installCallback(int port, int eventMask, int notifyCount, int eventCharacter,
                             ComCallbackPtr callback, void* callbackData) {
    PortState* s = openState(port);
    if (s == nullptr) return kComPortNotOpen;
    if (eventMask == 0 || callback == nullptr) {
        s->mask = 0;
        s->callback = nullptr;
        s->data = nullptr;
        s->pendingEvents = 0;
        return 0;
    }
    if (const int invalid = CheckComNotification(eventMask, notifyCount, eventCharacter))
        return invalid;
    s->mask = eventMask;
    s->notifyCount = notifyCount;
    s->eventChar = eventCharacter;
    s->callback = callback;
    s->data = callbackData;
    s->pendingEvents = 0;
    // Bytes already waiting count as new for a freshly installed routine (as on the host).
    s->newBytes = !s->inQueue.empty();
    return 0;
}

double SimLine::completeAt(int port, size_t wanted, double deadline) const {
    size_t have = ports_.at(port).inQueue.size();
    if (have >= wanted) return now_;
    if (ports_.at(port).failed) return deadline;  // nothing more arrives
    for (const Pending& p : pending_) {
        if (!Due(p.time, deadline)) break;
        if (p.port != port) continue;
        have += p.bytes.size();
        if (have >= wanted) return std::max(p.time, now_);
    }
    return deadline;
}

int SimLine::read(int port, char* buffer, int count) {
    if (openState(port) == nullptr) return kComPortNotOpen;
    if (const int invalid = CheckComBuffer(buffer, count)) return invalid;
    if (count == 0) return 0;
    advanceTo(now_);  // bytes scheduled for this very moment are already there
    const size_t wanted = static_cast<size_t>(count);
    if (openState(port)->failed) {
        // A device that went away has nothing more to give: what was received, then errors.
        std::vector<uint8_t>& queue = openState(port)->inQueue;
        if (queue.empty()) return kComIoError;
        const size_t n = std::min(wanted, queue.size());
        std::memcpy(buffer, queue.data(), n);
        queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(n));
        return static_cast<int>(n);
    }
    // Jump to the moment the count is complete, or to the time-out.
    advanceTo(completeAt(port, wanted, OnGrid(now_ + openState(port)->timeout)));
    std::vector<uint8_t>& queue = openState(port)->inQueue;
    const size_t n = std::min(wanted, queue.size());
    if (n > 0) std::memcpy(buffer, queue.data(), n);  // an empty queue may have no storage
    queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(n));
    return static_cast<int>(n);
}

int SimLine::waitForInput(int port, int count, double seconds) {
    if (openState(port) == nullptr) {
        // Nothing can arrive on a closed port: the wait simply takes its time.
        delay(seconds);
        return kComPortNotOpen;
    }
    advanceTo(now_);
    const double limit = std::isfinite(seconds) ? std::max(seconds, 0.0) : 0.0;
    advanceTo(completeAt(port, static_cast<size_t>(std::max(count, 0)), OnGrid(now_ + limit)));
    PortState* s = openState(port);
    return s == nullptr ? kComPortNotOpen : static_cast<int>(s->inQueue.size());
}

int SimLine::write(int port, const char* buffer, int count) {
    PortState* s = openState(port);
    if (s == nullptr) return kComPortNotOpen;
    if (const int invalid = CheckComBuffer(buffer, count)) return invalid;
    if (s->failed) return kComIoError;
    if (count == 0) return 0;
    const int sent = s->writeLimit >= 0 ? std::min(count, s->writeLimit) : count;
    const auto* bytes = reinterpret_cast<const uint8_t*>(buffer);
    writes_.push_back(Write{port, now_, std::vector<uint8_t>(bytes, bytes + sent)});
    if ((s->mask & kComEventOutputEmpty) != 0) s->pendingEvents |= kComEventOutputEmpty;
    if (peer_) {
        const Peer peer = peer_;  // the peer may replace itself
        const std::vector<uint8_t> frame = writes_.back().bytes;
        peer(*this, frame, now_);
    }
    return sent;
}

int SimLine::flushIn(int port) {
    PortState* s = openState(port);
    if (s == nullptr) return kComPortNotOpen;
    // Everything received so far goes, including bytes that are due but not yet landed.
    std::erase_if(pending_, [&](const Pending& p) { return p.port == port && Due(p.time, now_); });
    s->inQueue.clear();
    s->newBytes = false;
    s->pendingEvents &= ~kComEventChar;
    return 0;
}

int SimLine::flushOut(int port) {
    return openState(port) == nullptr ? kComPortNotOpen : 0;
}

int SimLine::inQueueLength(int port) {
    ++queueQueries_;
    if (openState(port) == nullptr) return kComPortNotOpen;
    advanceTo(now_ + quantum_);
    PortState* s = openState(port);
    return s == nullptr ? kComPortNotOpen : static_cast<int>(s->inQueue.size());
}

std::string SimLine::openFailureReason(int port) {
    const auto it = ports_.find(port);
    return it == ports_.end() ? std::string() : it->second.reason;
}

void SimLine::delay(double seconds) {
    if (std::isfinite(seconds) && seconds > 0.0) advanceTo(now_ + seconds);
}

void SimLine::runDueActions() {
    std::vector<std::pair<double, std::function<void()>>> due;
    std::vector<std::pair<double, std::function<void()>>> later;
    for (auto& action : actions_)
        (Due(action.first, now_) ? due : later).push_back(std::move(action));
    actions_ = std::move(later);
    std::stable_sort(due.begin(), due.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // Actions may schedule further actions; those run in a later turn.
    for (auto& action : due) action.second();
}

void SimLine::runNotifications() {
    std::vector<int> numbers;
    for (const auto& [number, s] : ports_)
        if (s.open && s.callback != nullptr) numbers.push_back(number);
    for (int number : numbers) {
        PortState* s = openState(number);
        if (s == nullptr || s->callback == nullptr || s->inCallback) continue;
        const int events = DueComEvents(s->mask, s->newBytes, static_cast<int>(s->inQueue.size()),
                                        s->notifyCount, s->pendingEvents);
        if (events == 0) continue;
        s->newBytes = false;
        s->pendingEvents = 0;
        ++notificationsRun_;
        s->inCallback = true;
        s->callback(number, events, s->data);
        // std::map keeps the entry where it is, whatever the routine did.
        ports_[number].inCallback = false;
    }
}

int SimLine::processSystemEvents() {
    ++processEventsCalls_;
    advanceTo(now_ + quantum_);
    runDueActions();
    runNotifications();
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
    return 0;
}
