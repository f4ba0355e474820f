#include "console/signal_exit.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kervano {

namespace {
volatile std::sig_atomic_t caught = 0;
SignalAction pending = nullptr;  // runs once, for the first signal

#ifdef Q_OS_UNIX
constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};
int pipeEnds[2] = {-1, -1};
QPointer<QSocketNotifier> notifier;

// Async-signal-safe only: a flag and a write.
void Note(int signal) {
    const int savedErrno = errno;
    if (caught == 0) caught = signal;
    const char byte = static_cast<char>(signal);
    (void)!::write(pipeEnds[1], &byte, 1);
    errno = savedErrno;
}

void SetAction(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // reads and writes on the line go on as if nothing came
    sigaction(signal, &action, nullptr);
}

bool MakePipe() {
    if (pipeEnds[0] >= 0) return true;
    if (::pipe(pipeEnds) != 0) return false;
    for (int end : pipeEnds) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);  // not inherited by the programs it starts
        ::fcntl(end, F_SETFL, O_NONBLOCK);  // a full pipe never blocks the handler
    }
    return true;
}

void Drain() {
    char bytes[16];
    while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) {
    }
    if (caught == 0 || pending == nullptr) return;
    const SignalAction action = pending;
    pending = nullptr;
    action(caught);
}
#endif
}  // namespace

void CatchEndSignals(SignalAction action) {
#ifdef Q_OS_UNIX
    if (!MakePipe()) return;
    pending = action;
    SetAction(SIGXFSZ, SIG_IGN);
    for (int signal : kEndSignals) SetAction(signal, Note);
    if (action == nullptr || QCoreApplication::instance() == nullptr) return;
    delete notifier;
    notifier =
        new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] { Drain(); });
    if (caught != 0) Drain();  // caught before anything watched the pipe
#else
    (void)action;
#endif
}

void ReleaseEndSignals() {
#ifdef Q_OS_UNIX
    for (int signal : kEndSignals) SetAction(signal, SIG_DFL);
    SetAction(SIGXFSZ, SIG_DFL);
    delete notifier;
    char bytes[16];
    while (pipeEnds[0] >= 0 && ::read(pipeEnds[0], bytes, sizeof bytes) > 0) {
    }
#endif
    pending = nullptr;
    caught = 0;
}

int CaughtEndSignal() {
    return caught;
}

const char* EndSignalName(int signal) {
    switch (signal) {
        case SIGTERM:
            return "SIGTERM";
        case SIGINT:
            return "SIGINT";
#ifdef SIGHUP
        case SIGHUP:
            return "SIGHUP";
#endif
        default:
            return "a signal";
    }
}

int ExitStatusAfterSignal(int code) {
    return caught != 0 ? 128 + caught : code;
}

}  // namespace kervano
