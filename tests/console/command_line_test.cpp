// The command line: each mistake in one line, Qt's options passed through, the headless
// modes' options; then the real program's exit codes.
#include "console/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/support/child_process.h"

using namespace kervano;

namespace {

CommandLine Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "kervano-scope");
    return ParseCommandLine(args);
}

}  // namespace

TEST(CommandLine, EachMistakeGetsOneLineThatNamesIt) {
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"--port"}, "--port needs a value: --port N=DEVICE"},
        {{"--port", "--verify"}, "--port needs a value"},
        {{"--port", "1"}, "--port wants N=DEVICE (for example 1=/dev/ttyUSB0), got '1'"},
        {{"--port", "0=/dev/ttyS0"}, "COM number 0 is outside the range 1-255"},
        {{"--port=256=/dev/ttyS0"}, "COM number 256 is outside the range 1-255"},
        {{"--port", "99999999999=/dev/x"}, "is outside the range 1-255"},
        {{"--port", "x=/dev/x"}, "'x' is not a COM number (1-255)"},
        {{"--port", "-1=/dev/x"}, "'-1' is not a COM number (1-255)"},
        {{"--port", "1=/dev/a", "--port=1=/dev/b"}, "COM1 is already given (1=/dev/a)"},
        {{"--port", "7=/dev/a", "--port", "007=sim"}, "COM7 is already given (7=/dev/a)"},
        {{"--port", "1="}, "--port 1=: no device after '=' (a device path, or 'sim')"},
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"stray"}, "unexpected argument 'stray'"},
        {{"-platform"}, "-platform needs a value"},
        {{"--help=yes"}, "--help takes no value"},
        {{"--read-params"}, "--read-params needs a file name"},
        {{"--capture="}, "--capture needs a file name"},
        {{"--read-params", "a.dat", "--capture", "b.csv"}, "one mode at a time"},
        {{"--read-params", "a.dat", "--from", "flash"}, "--from wants ram or eeprom, got 'flash'"},
        {{"--write-params", "a.dat", "--from", "ram"}, "--from belongs to --read-params"},
        {{"--to", "ram"}, "--to belongs to --write-params"},
        {{"--read-params", "a.dat", "--verify"}, "--verify belongs to --write-params"},
        {{"--write-params", "a.dat", "--to", "ram", "--to=eeprom"}, "--to is given twice"},
        {{"--capture", "a.csv", "--port", "2=/dev/x"}, "give the controller as --port 1=DEVICE"},
        {{"--compare="}, "--compare= needs a file name (or give --compare alone)"},
        {{"--compare", "a.dat", "b.dat"}, "unexpected argument 'b.dat'"},
        {{"--compare", "--capture", "b.csv"}, "--capture cannot be combined with --compare"},
        {{"--compare", "--from", "eeprom"}, "--from belongs to --read-params"},
        {{"--open"}, "--open needs a file name"},
        {{"--open=a.csv", "--open", "b.csv"}, "--open is given twice"},
        {{"--capture", "a.csv", "--open", "b.csv"}, "--open belongs to the panel"},
    };
    for (const auto& c : cases) {
        const CommandLine line = Parse(c.args);
        EXPECT_NE(line.error.find(c.says), std::string::npos) << c.says << " <- " << line.error;
        EXPECT_EQ(line.error.find('\n'), std::string::npos) << line.error;
    }
}

TEST(CommandLine, QtOptionsPassThroughInTheirOrder) {
    const CommandLine line =
        Parse({"-platform", "offscreen", "--port", "2=/dev/ttyUSB0", "-style=fusion", "--geometry",
               "800x600+0+0", "-reverse", "--port=1=sim", "-stylesheet", "a.qss"});
    EXPECT_EQ(line.error, "");
    EXPECT_EQ(line.mode, RunMode::Panel);
    EXPECT_EQ(line.qtArguments,
              (std::vector<std::string>{"kervano-scope", "-platform", "offscreen", "-style=fusion",
                                        "--geometry", "800x600+0+0", "-reverse", "-stylesheet",
                                        "a.qss"}));
    ASSERT_EQ(line.ports.size(), 2u);
    EXPECT_EQ(line.ports[0].number, 2);
    EXPECT_EQ(line.ports[0].device, "/dev/ttyUSB0");
    EXPECT_EQ(line.ports[1].number, 1);
    EXPECT_EQ(line.ports[1].device, "sim");
}

TEST(CommandLine, HeadlessModesAndTheirOptions) {
    const struct {
        std::vector<std::string> args;
        RunMode mode;
        const char* file;
        int memory;
        bool verify;
    } cases[] = {
        {{"--read-params", "a.dat"}, RunMode::ReadParams, "a.dat", 1, false},
        {{"--from=EEPROM", "--read-params=a b.dat"}, RunMode::ReadParams, "a b.dat", 2, false},
        {{"--port", "1=sim", "--write-params", "p.dat", "--to", "eeprom", "--verify"},
         RunMode::WriteParams,
         "p.dat",
         2,
         true},
        {{"--write-params", "p.dat", "--port", "2=/dev/x", "--port", "1=/dev/y"},
         RunMode::WriteParams,
         "p.dat",
         1,
         false},
        {{"--capture", "c.csv", "-platform", "offscreen"}, RunMode::Capture, "c.csv", 1, false},
        // The file of --compare is optional: an option after it is no file.
        {{"--compare"}, RunMode::Compare, "", 1, false},
        {{"--compare", "-platform", "offscreen"}, RunMode::Compare, "", 1, false},
        {{"--compare", "p.dat", "--port", "1=sim"}, RunMode::Compare, "p.dat", 1, false},
        {{"--compare=-p.dat"}, RunMode::Compare, "-p.dat", 1, false},
    };
    for (const auto& c : cases) {
        const CommandLine line = Parse(c.args);
        EXPECT_EQ(line.error, "") << c.file;
        EXPECT_EQ(line.mode, c.mode) << c.file;
        EXPECT_TRUE(IsHeadless(line.mode));
        EXPECT_EQ(line.file, c.file);
        EXPECT_EQ(line.memory, c.memory) << c.file;
        EXPECT_EQ(line.verify, c.verify) << c.file;
    }
    EXPECT_EQ(Parse({"--port", "1=sim", "--help", "--bogus"}).mode, RunMode::Help);
    EXPECT_EQ(Parse({"--version"}).mode, RunMode::Version);
    const CommandLine open = Parse({"--port", "1=sim", "--open", "c.csv"});
    EXPECT_EQ(open.error, "");
    EXPECT_EQ(open.mode, RunMode::Panel);
    EXPECT_EQ(open.openFile, "c.csv");
}

TEST(CommandLine, HelpAndManualPageListEveryOption) {
    std::ifstream file(KV_SOURCE_DIR "/packaging/kervano-scope.1");
    std::stringstream manual;
    manual << file.rdbuf();
    // The manual writes each '-' of an option as "\-".
    auto inManual = [&](std::string option) {
        std::string escaped;
        for (char c : option) escaped += c == '-' ? std::string("\\-") : std::string(1, c);
        return manual.str().find(escaped) != std::string::npos;
    };
    for (const char* option :
         {"--port", "--help", "--version", "--read-params", "--from", "--write-params", "--to",
          "--verify", "--capture", "--compare", "--report", "--json", "--open", "-platform"}) {
        EXPECT_NE(UsageText().find(option), std::string::npos) << option;
        EXPECT_TRUE(inManual(option)) << option;
    }
}

TEST(CommandLineProgram, MistakesEndWithCodeTwoAndOneLine) {
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"--port"}, "kervano-scope: --port needs a value"},
        {{"--port", "300=/dev/ttyS0"}, "outside the range 1-255"},
        {{"--write-params", "p.dat", "--from", "ram"}, "--from belongs to --read-params"},
    };
    for (const auto& c : cases) {
        ChildProcess program(KV_BIN_DIR "/kervano-scope", c.args);
        const std::string out = program.readAll(false, 5.0);
        const std::string errors = program.readAll(true, 5.0);
        EXPECT_TRUE(ExitedWith(program.finish(0, 5.0), 2)) << c.says;
        EXPECT_EQ(out, "");
        EXPECT_NE(errors.find(c.says), std::string::npos) << errors;
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    }
}

TEST(CommandLineProgram, QtOptionsReachQt) {
    // A platform that does not exist: only Qt can be the one that says so.
    ChildProcess program(KV_BIN_DIR "/kervano-scope",
                         {"-style", "fusion", "-platform", "kv-no-such-platform"},
                         {"QT_QPA_PLATFORM="});
    const std::string errors = program.readAll(true, 10.0);
    EXPECT_TRUE(ExitedWith(program.finish(0, 5.0), 255));
    EXPECT_NE(errors.find("kv-no-such-platform"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("unknown option"), std::string::npos) << errors;
}
