// What a signal does to the panel's life: it ends as closing the window ends it, but
// without a question. A running monitor stops, a command waiting on the line finishes
// (within its time-out), and the event loop then ends; start-up's shutdown writes the
// recording out and releases the port. A question or file dialog open at the moment is
// cancelled, so nothing waits for an answer that no one will give.
#pragma once

namespace kervano {

// The action for CatchEndSignals in the panel's life.
void QuitOnSignal(int signal);

}  // namespace kervano
