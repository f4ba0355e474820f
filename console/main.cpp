// Process entry of kervano-scope: options, the Qt application, then the program's life.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "console/display_check.h"
#include "console/port_watch.h"
#include "console/startup.h"
#include "platform/serial/port_table.h"
#include "sim/pty_server.h"

namespace {

constexpr long kSimBaud = 19200;

void PrintUsage(std::FILE* to) {
    std::fputs(
        "Usage: kervano-scope [--port N=DEVICE]...\n"
        "Service and tuning tool for the KERVANO two-channel sensor controller.\n"
        "\n"
        "  --port N=DEVICE  put DEVICE behind COM N; DEVICE is a serial device path\n"
        "                   (/dev/ttyUSB0, /dev/pts/7) or 'sim' for the built-in\n"
        "                   simulated controller. May be given more than once.\n"
        "  --help           show this text\n"
        "  --version        show the version\n"
        "\n"
        "The tool opens COM1 at start; choose another port on the panel.\n",
        to);
}

struct PortOption {
    int number;
    std::string device;
};

bool ParsePortOption(const std::string& value, PortOption& option) {
    const auto eq = value.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == value.size()) return false;
    const std::string number = value.substr(0, eq);
    for (char c : number) {
        if (c < '0' || c > '9') return false;
    }
    if (number.size() > 3) return false;
    option.number = std::atoi(number.c_str());
    option.device = value.substr(eq + 1);
    return option.number >= 1 && option.number <= 255;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<PortOption> ports;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            PrintUsage(stdout);
            return 0;
        }
        if (arg == "--version") {
            std::puts("kervano-scope 1.31");
            return 0;
        }
        std::string value;
        if (arg == "--port" && i + 1 < argc) {
            value = argv[++i];
        } else if (arg.rfind("--port=", 0) == 0) {
            value = arg.substr(7);
        } else {
            std::fprintf(stderr, "kervano-scope: unknown option '%s'\n", arg.c_str());
            PrintUsage(stderr);
            return 2;
        }
        PortOption option;
        if (!ParsePortOption(value, option)) {
            std::fprintf(stderr, "kervano-scope: --port wants N=DEVICE, got '%s'\n", value.c_str());
            return 2;
        }
        ports.push_back(option);
    }

    if (!kervano::UserInterfaceCanStart(argc, argv)) return -1;
    QApplication app(argc, argv);
    kervano::UserInterfaceStarted();
    QApplication::setApplicationName("kervano-scope");

    // Each 'sim' port gets its own simulated controller on a pseudo-terminal, paced like
    // a real line, so the tool reaches it through its ordinary serial back end.
    std::vector<std::unique_ptr<sim::PtyServer>> simulators;
    for (const PortOption& option : ports) {
        if (option.device != "sim") {
            PortTablePin(option.number, option.device);
            continue;
        }
        auto server = std::make_unique<sim::PtyServer>(sim::Faults{}, kSimBaud);
        const std::string path = server->startPty();
        if (path.empty()) {
            std::fprintf(stderr, "kervano-scope: cannot start the simulated controller\n");
            return 1;
        }
        PortTablePin(option.number, path, "built-in simulated controller");
        simulators.push_back(std::move(server));
    }

    kervano::StartPortWatch();
    return kervano::WinMain(nullptr, nullptr, nullptr, 10);
}
