#include "resources/status_listeners.h"

#include <algorithm>
#include <vector>

namespace kervano {

namespace {
std::vector<StatusListener>& Listeners() {
    static std::vector<StatusListener> listeners;
    return listeners;
}
}  // namespace

void AddStatusListener(StatusListener listener) {
    if (listener == nullptr) return;
    auto& all = Listeners();
    if (std::find(all.begin(), all.end(), listener) == all.end()) all.push_back(listener);
}

void RemoveStatusListener(StatusListener listener) {
    auto& all = Listeners();
    all.erase(std::remove(all.begin(), all.end(), listener), all.end());
}

void NotifyStatusListeners(const char* text) {
    // A copy: a listener may add or remove listeners.
    const std::vector<StatusListener> all = Listeners();
    for (StatusListener listener : all) listener(text);
}

}  // namespace kervano
