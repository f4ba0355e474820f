// The kervano-sim command line.
#include "sim/sim_options.h"

#include <gtest/gtest.h>

namespace {

std::string parse(std::vector<std::string> args, sim::SimOptions& options) {
    return sim::parseSimOptions(args, options);
}

}  // namespace

TEST(SimOptions, DefaultsWithoutArguments) {
    sim::SimOptions options;
    EXPECT_EQ(parse({}, options), "");
    EXPECT_EQ(options.baud, 0);
    EXPECT_TRUE(options.device.empty());
    EXPECT_FALSE(options.faults.silent);
    EXPECT_EQ(options.faults.echoWord, 0x00AA);
    EXPECT_EQ(options.faults.partialBytes, -1);
    EXPECT_EQ(options.faults.hangupAfter, -1);
}

TEST(SimOptions, EveryOptionReachesItsField) {
    sim::SimOptions options;
    EXPECT_EQ(
        parse({"--device", "/dev/pts/9", "--baud=19200", "--silent", "--echo-word", "0x55",
               "--delay", "0.25", "--ignore-order", "7", "--ignore-order=9", "--ignore-block",
               "128", "--garbage", "--partial", "12", "--hangup-after=3", "--firmware", "TEST 9"},
              options),
        "");
    EXPECT_EQ(options.device, "/dev/pts/9");
    EXPECT_EQ(options.baud, 19200);
    EXPECT_TRUE(options.faults.silent);
    EXPECT_EQ(options.faults.echoWord, 0x55);
    EXPECT_DOUBLE_EQ(options.faults.extraDelay, 0.25);
    EXPECT_EQ(options.faults.ignoredOrders, (std::set<int>{7, 9}));
    EXPECT_EQ(options.faults.ignoredBlockStarts, (std::set<int>{128}));
    EXPECT_TRUE(options.faults.garbage);
    EXPECT_EQ(options.faults.partialBytes, 12);
    EXPECT_EQ(options.faults.hangupAfter, 3);
    EXPECT_EQ(options.firmware, "TEST 9");
    EXPECT_FALSE(options.help);

    sim::SimOptions help;
    EXPECT_EQ(parse({"--help"}, help), "");
    EXPECT_TRUE(help.help);
}

TEST(SimOptions, BadArgumentsAreNamed) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"--baud"},
        {"--baud", "fast"},
        {"--baud", "-1"},
        {"--delay", "-0.5"},
        {"--delay", "nan"},
        {"--partial", "1x"},
        {"--echo-word", "0x10000"},
        {"--hangup-after", ""},
        {"--silent=1"},
        {"--device"},
        {"stray"},
    };
    for (const auto& args : bad) {
        sim::SimOptions options;
        const std::string error = parse(args, options);
        EXPECT_FALSE(error.empty()) << args[0];
        EXPECT_NE(error.find(args[0].substr(0, args[0].find('='))), std::string::npos) << error;
    }
    EXPECT_NE(sim::simUsage().find("--hangup-after"), std::string::npos);
}

TEST(SimOptions, ParamsAndFrameLog) {
    sim::SimOptions options;
    EXPECT_EQ(parse({"--param", "4=777", "--param=15=65535", "--log", "--corrupt-word", "4=123"},
                    options),
              "");
    EXPECT_EQ(options.faults.corruptWords, (std::map<int, uint16_t>{{4, 123}}));
    EXPECT_TRUE(options.logFrames);
    ASSERT_EQ(options.params.size(), 2u);
    EXPECT_EQ(options.params[0], (std::pair<int, uint16_t>{4, 777}));
    EXPECT_EQ(options.params[1], (std::pair<int, uint16_t>{15, 65535}));
    for (const char* bad : {"0=1", "16=1", "4=65536", "4", "x=1", "4=-1"}) {
        for (const char* option : {"--param", "--corrupt-word"}) {
            sim::SimOptions o;
            EXPECT_NE(parse({option, bad}, o), "") << option << " " << bad;
        }
    }
}
