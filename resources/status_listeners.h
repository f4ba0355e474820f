// Listeners to the status line: every text shown there is also handed to each listener, in
// order (the status history, the command-line modes that print each step).
#pragma once

namespace kervano {

using StatusListener = void (*)(const char* text);

// Adds listener (once; a second add of the same one is ignored).
void AddStatusListener(StatusListener listener);
void RemoveStatusListener(StatusListener listener);
// Hands text to every listener; called by the status line itself.
void NotifyStatusListeners(const char* text);

}  // namespace kervano
