// SIGTERM, SIGINT and SIGHUP end the program in order instead of at once: the handler only
// notes the signal (and writes its number into a pipe, all it may safely do there), and the
// program ends from its own code, the command on the line finished, a recording written
// out, the port and its lock released. SIGXFSZ is ignored, so a write beyond the file size
// limit fails as on a full disk and says so, rather than ending the program.
#pragma once

namespace kervano {

using SignalAction = void (*)(int signal);

// Catches the three signals from now on and ignores SIGXFSZ. action (if given) runs once, in
// the event loop, for the first signal caught; it needs the application object. Without it
// the signal is only noted, for code that looks between its steps.
void CatchEndSignals(SignalAction action);
// Back to the signals' default actions, nothing caught (tests).
void ReleaseEndSignals();
// The first signal caught, 0 while none.
int CaughtEndSignal();
// "SIGTERM", "SIGINT", "SIGHUP".
const char* EndSignalName(int signal);
// The exit status of a run a signal ended, 128 + the signal as shells report it; code when
// no signal came.
int ExitStatusAfterSignal(int code);

}  // namespace kervano
