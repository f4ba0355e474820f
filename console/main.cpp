// Process entry of kervano-scope: the command line, the application object, the ports, and
// then the panel's life or a headless mode.
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "console/command_line.h"
#include "console/display_check.h"
#include "console/headless.h"
#include "console/open_capture.h"
#include "console/port_watch.h"
#include "console/signal_exit.h"
#include "console/signal_quit.h"
#include "console/startup.h"
#include "platform/serial/port_table.h"
#include "sim/pty_server.h"

namespace {

constexpr long kSimBaud = 19200;

// Puts each --port device behind its number. Each 'sim' port gets its own simulated
// controller on a pseudo-terminal, paced like a real line, so the tool reaches it through
// its ordinary serial back end. False when a simulated controller cannot start.
bool PinPorts(const std::vector<kervano::PortOption>& ports,
              std::vector<std::unique_ptr<sim::PtyServer>>& simulators) {
    for (const kervano::PortOption& option : ports) {
        if (option.device != "sim") {
            PortTablePin(option.number, option.device);
            continue;
        }
        auto server = std::make_unique<sim::PtyServer>(sim::Faults{}, kSimBaud);
        const std::string path = server->startPty();
        if (path.empty()) {
            std::fprintf(stderr, "kervano-scope: cannot start the simulated controller\n");
            return false;
        }
        PortTablePin(option.number, path, "built-in simulated controller");
        simulators.push_back(std::move(server));
    }
    return true;
}

// Passes on Qt's critical and fatal messages only.
void QuietQtNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kervano;
    const CommandLine commandLine = ParseCommandLine(std::vector<std::string>(argv, argv + argc));
    if (!commandLine.error.empty()) {
        std::fprintf(stderr, "kervano-scope: %s\n", commandLine.error.c_str());
        return kExitUsageError;
    }
    if (commandLine.mode == RunMode::Help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (commandLine.mode == RunMode::Version) {
        std::puts(VersionText().c_str());
        return 0;
    }

    // The application object gets the program's name and Qt's own options only.
    std::vector<std::string> qtArguments = commandLine.qtArguments;
    std::vector<char*> qtArgv;
    for (std::string& argument : qtArguments) qtArgv.push_back(argument.data());
    qtArgv.push_back(nullptr);
    int qtArgc = static_cast<int>(qtArguments.size());
    std::vector<std::unique_ptr<sim::PtyServer>> simulators;

    if (IsHeadless(commandLine.mode)) {
        // Serial ports and files need Qt Core only: no display, no window. The report draws
        // its graphs and may print a PDF: that needs fonts, which the offscreen platform
        // gives without a display.
        if (commandLine.mode == RunMode::Report) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            // Its notes about the desktop session (no runtime folder ...) are not the run's:
            // standard error stays the one line of a failure.
            qInstallMessageHandler(QuietQtNotes);
        }
        std::unique_ptr<QCoreApplication> app =
            commandLine.mode == RunMode::Report
                ? std::make_unique<QGuiApplication>(qtArgc, qtArgv.data())
                : std::make_unique<QCoreApplication>(qtArgc, qtArgv.data());
        QCoreApplication::setApplicationName("kervano-scope");
        // The modes look for a signal between their steps.
        CatchEndSignals(nullptr);
        if (!PinPorts(commandLine.ports, simulators)) return kExitControllerFailure;
        return RunHeadless(commandLine);
    }

    if (!UserInterfaceCanStart(qtArgc, qtArgv.data())) return -1;
    QApplication app(qtArgc, qtArgv.data());
    UserInterfaceStarted();
    QApplication::setApplicationName("kervano-scope");
    CatchEndSignals(QuitOnSignal);
    if (!PinPorts(commandLine.ports, simulators)) return kExitControllerFailure;

    StartPortWatch();
    SetCaptureToOpen(commandLine.openFile);
    return ExitStatusAfterSignal(WinMain(nullptr, nullptr, nullptr, 10));
}
