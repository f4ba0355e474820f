// kervano-sim: the controller emulator as a program. Serves on a pty pair of its own (the
// slave path is the first line on stdout) or on an existing tty, until SIGTERM or SIGINT.
#include <poll.h>

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/pty_server.h"
#include "sim/sim_options.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int) {
    stopRequested = 1;
}

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);  // a closed stdout must not end the server
}

}  // namespace

int main(int argc, char** argv) {
    // The name and version Qt reports for the program (no application object is needed).
    QCoreApplication::setApplicationName(QStringLiteral("kervano-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KV_VERSION));
    sim::SimOptions options;
    const std::string error =
        sim::parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options);
    if (!error.empty()) {
        std::fprintf(stderr, "kervano-sim: %s\n%s", error.c_str(), sim::simUsage().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(sim::simUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("kervano-sim " KV_VERSION);
        return 0;
    }

    installStopHandlers();
    sim::PtyServer server(options.faults, options.baud);
    if (!options.firmware.empty()) server.model().firmwareText = options.firmware;
    for (const auto& [word, value] : options.params) {
        server.model().ram[0][word] = value;
        server.model().eeprom[0][word] = value;
    }
    server.setFrameLog(options.logFrames);

    std::string path;
    if (options.device.empty()) {
        path = server.startPty();
        if (path.empty()) {
            std::perror("kervano-sim: cannot open a pseudo-terminal");
            return 1;
        }
    } else {
        if (!server.startDevice(options.device)) {
            std::fprintf(stderr, "kervano-sim: cannot serve on %s\n", options.device.c_str());
            return 1;
        }
        path = options.device;
    }
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);

    while (stopRequested == 0) poll(nullptr, 0, 50);
    server.stop();
    return 0;
}
