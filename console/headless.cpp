#include "console/headless.h"

#include <cstdio>
#include <cstring>

#include "console/headless_json.h"
#include "console/headless_steps.h"
#include "console/signal_exit.h"
#include "console/startup.h"
#include "link/port_setup.h"
#include "params/param_file.h"
#include "params/param_set.h"
#include "platform/serial/port_table.h"
#include "platform/serial/serial_port.h"
#include "resources/status_listeners.h"

namespace kervano {

namespace {
std::string& LastStatus() {
    static std::string last;
    return last;
}

// Every status text becomes a line of its own; a text shown again at once (a routine that
// shows the text its last step already showed) is printed once.
void PrintStatus(const char* text) {
    if (LastStatus() == text) return;
    LastStatus() = text;
    PrintStep(text);
}
}  // namespace

void PrintStep(const std::string& text) {
    std::fputs(((JsonOutput() ? JsonStepLine(text) : text) + "\n").c_str(), stdout);
    std::fflush(stdout);
}

const std::string& LastStatusText() {
    return LastStatus();
}

int Fail(int code, const std::string& why) {
    NoteJsonFailure(why);
    const std::string line = "kervano-scope: " + why + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    return code;
}

const char* MemoryName(int memory) {
    return memory == EEPROM ? "EEPROM" : "RAM";
}

bool SetFileName(const std::string& path) {
    if (path.size() >= sizeof file_name) return false;
    std::memcpy(file_name, path.c_str(), path.size() + 1);
    return true;
}

int ConnectController() {
    const std::string device = PortTableDevice(com);
    PrintStep("COM" + std::to_string(com) + ": " + (device.empty() ? "no device" : device));
    return InitRS232(com);
}

std::string ControllerNotReady() {
    const std::string reason = ComOpenFailureReason(com);
    return "no controller ready on COM" + std::to_string(com) + " - " + LastStatusText() +
           (reason.empty() ? "" : " (" + reason + ")");
}

bool SignalCame() {
    return CaughtEndSignal() != 0;
}

std::string StoppedBySignal() {
    return std::string("stopped by ") + EndSignalName(CaughtEndSignal());
}

int StopForSignal(const std::string& what) {
    Fail(0, StoppedBySignal() + " - " + what);
    return ExitStatusAfterSignal(kExitControllerFailure);
}

int RunHeadless(const CommandLine& commandLine) {
    // The state the panel starts with (its controls' calls do nothing without a panel).
    InitVars();
    LastStatus().clear();
    SetJsonOutput(commandLine.json);
    AddStatusListener(PrintStatus);
    int code = kExitUsageError;
    switch (commandLine.mode) {
        case RunMode::ReadParams:
            code = RunReadParams(commandLine);
            break;
        case RunMode::WriteParams:
            code = RunWriteParams(commandLine);
            break;
        case RunMode::Capture:
            code = RunCapture(commandLine);
            break;
        case RunMode::Compare:
            code = RunCompare(commandLine);
            break;
        case RunMode::Report:
            code = RunReport(commandLine);
            break;
        default:
            break;
    }
    CloseCom(com);
    RemoveStatusListener(PrintStatus);
    if (JsonOutput()) {
        std::fputs((JsonResultLine(commandLine, code) + "\n").c_str(), stdout);
        std::fflush(stdout);
        SetJsonOutput(false);
    }
    return code;
}

}  // namespace kervano
