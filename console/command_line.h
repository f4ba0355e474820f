// The program's command line: which devices stand behind which COM numbers, whether the
// panel opens or a headless mode runs, and the options that belong to Qt. Parsed without
// starting anything, so every mistake is caught before a window or a port is opened.
#pragma once

#include <string>
#include <vector>

namespace kervano {

// Exit codes of the program beside the panel's own (0 after a normal end, -1 when start-up
// failed): a controller that failed a headless mode, and a usage or file error.
constexpr int kExitControllerFailure = 1;
constexpr int kExitUsageError = 2;

enum class RunMode {
    Panel,        // the window, as an operator uses it
    ReadParams,   // --read-params FILE
    WriteParams,  // --write-params FILE
    Capture,      // --capture FILE.csv
    Compare,      // --compare [FILE]
    Report,       // --report FILE.html|FILE.pdf
    Help,
    Version,
};

struct PortOption {
    int number = 0;
    std::string device;  // a device path, or "sim" for the built-in simulated controller
};

struct CommandLine {
    RunMode mode = RunMode::Panel;
    std::vector<PortOption> ports;
    std::string file;  // the file of a headless mode ("" for --compare without one)
    int memory = 1;    // --from / --to: RAM (1) or EEPROM (2)
    bool verify = false;
    bool json = false;  // --json: the steps and the result as JSON lines
    std::string openFile;  // --open: a capture CSV the panel shows after start-up
    // The program's name followed by Qt's own options (-platform, -style ...), in the order
    // given, for the application object.
    std::vector<std::string> qtArguments;
    // Empty when the command line can be used; else one line that says what is wrong.
    std::string error;
};

// args: the whole command line, the program's name first.
CommandLine ParseCommandLine(const std::vector<std::string>& args);
// The --help text; it lists every option.
std::string UsageText();
// The --version text: the program's name and the version the build gives it.
std::string VersionText();
// True for the modes that run without a window.
bool IsHeadless(RunMode mode);

}  // namespace kervano
