// Which device stands behind each COM number.
#include "platform/serial/port_table.h"

#include <gtest/gtest.h>

namespace {

std::vector<PortEntry> Found(const std::vector<std::string>& devices) {
    std::vector<PortEntry> found;
    for (const std::string& d : devices) found.push_back(PortEntry{0, d, ""});
    return found;
}

std::vector<std::string> Devices(const std::vector<PortEntry>& table) {
    std::vector<std::string> devices;
    for (const PortEntry& e : table) devices.push_back(e.device);
    return devices;
}

std::vector<int> Numbers(const std::vector<PortEntry>& table) {
    std::vector<int> numbers;
    for (const PortEntry& e : table) numbers.push_back(e.number);
    return numbers;
}

TEST(PortNumbering, AdaptersComeFirstThenBuiltInPortsEachInNameOrder) {
    const auto table =
        NumberPorts(Found({"/dev/ttyS1", "/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyACM0",
                           "/dev/ttyUSB10", "/dev/ttyUSB0", "/dev/ttyUSB2", "/dev/ttyAMA0"}),
                    {}, "");
    EXPECT_EQ(Devices(table), (std::vector<std::string>{
                                  "/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyUSB2",
                                  "/dev/ttyUSB10", "/dev/ttyAMA0", "/dev/ttyS0", "/dev/ttyS1"}));
    EXPECT_EQ(Numbers(table), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(PortNumbering, PinsKeepTheirNumbersAndAreSkippedByTheCount) {
    const std::vector<PortEntry> pins = {{1, "/dev/pts/7", "simulated controller"},
                                         {3, "/dev/ttyUSB1", ""}};
    const auto table = NumberPorts({{0, "/dev/ttyUSB0", "FT232R USB UART"},
                                    {0, "/dev/ttyUSB1", "CP2102"},
                                    {0, "/dev/ttyS0", ""}},
                                   pins, "");
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(Numbers(table), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(Devices(table), (std::vector<std::string>{"/dev/pts/7", "/dev/ttyUSB0",
                                                        "/dev/ttyUSB1", "/dev/ttyS0"}));
    EXPECT_EQ(table[0].description, "simulated controller");
    EXPECT_EQ(table[1].description, "FT232R USB UART");
    EXPECT_EQ(table[2].description, "CP2102") << "a pin without words borrows the found ones";
}

TEST(PortNumbering, TheConsoleDeviceGetsNoNumberUnlessPinned) {
    const auto found = Found({"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0"});
    EXPECT_EQ(Devices(NumberPorts(found, {}, "tty0 ttyS0\n")),
              (std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyS1"}));
    EXPECT_EQ(Devices(NumberPorts(found, {{5, "/dev/ttyS0", ""}}, "tty0 ttyS0")),
              (std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyS1", "/dev/ttyS0"}));
}

TEST(PortNumbering, OddInputStaysWithinTheNumberRange) {
    // Duplicates, empty names, pins outside 1..255 or twice on one number.
    const auto table = NumberPorts(
        Found({"/dev/ttyUSB0", "/dev/ttyUSB0", ""}),
        {{0, "/dev/a", ""}, {300, "/dev/b", ""}, {2, "/dev/c", ""}, {2, "/dev/d", ""}}, "");
    EXPECT_EQ(Devices(table), (std::vector<std::string>{"/dev/ttyUSB0", "/dev/c"}));

    std::vector<std::string> many;
    for (int i = 0; i < 300; ++i) many.push_back("/dev/ttyUSB" + std::to_string(i));
    const auto big = NumberPorts(Found(many), {}, "");
    ASSERT_EQ(big.size(), 255u);
    EXPECT_EQ(big.back().number, 255);
    EXPECT_EQ(big.back().device, "/dev/ttyUSB254");
}

TEST(PortNumbering, NumbersStayWithTheirDevicesForTheWholeRun) {
    PortNumberMemory memory;
    const PortEntry ftdi{0, "/dev/ttyUSB0", "FT232R USB UART", "0403:6001:A10K"};
    const PortEntry builtIn{0, "/dev/ttyS0", ""};
    // Each listing: the devices found, and the number each listed device gets.
    const struct {
        std::vector<PortEntry> found;
        std::vector<std::pair<std::string, int>> numbers;
    } listings[] = {
        {{ftdi, builtIn}, {{"/dev/ttyUSB0", 1}, {"/dev/ttyS0", 2}}},
        // An adapter plugged in later sorts first by name but takes the next free number.
        {{ftdi, builtIn, {0, "/dev/ttyACM0", ""}},
         {{"/dev/ttyUSB0", 1}, {"/dev/ttyS0", 2}, {"/dev/ttyACM0", 3}}},
        // Unplugged: its number is kept for it and given to no other device.
        {{builtIn, {0, "/dev/ttyACM0", ""}, {0, "/dev/ttyUSB3", ""}},
         {{"/dev/ttyS0", 2}, {"/dev/ttyACM0", 3}, {"/dev/ttyUSB3", 4}}},
        // Back under another path: the same adapter by its serial number, its old number.
        {{builtIn, {0, "/dev/ttyUSB7", "FT232R USB UART", "0403:6001:A10K"}},
         {{"/dev/ttyUSB7", 1}, {"/dev/ttyS0", 2}}},
    };
    for (const auto& listing : listings) {
        std::vector<std::pair<std::string, int>> got;
        for (const PortEntry& e : NumberPorts(listing.found, {}, "", &memory))
            got.emplace_back(e.device, e.number);
        EXPECT_EQ(got, listing.numbers);
    }
}

TEST(PortTable, PinsMapNumbersToDevices) {
    PortTableClearPins();
    PortTablePin(200, "/dev/pts/41", "first");
    PortTablePin(200, "/dev/pts/42", "second");
    PortTablePin(0, "/dev/pts/43");
    PortTablePin(256, "/dev/pts/44");
    EXPECT_EQ(PortTableDevice(200), "/dev/pts/42");
    EXPECT_EQ(PortTableDevice(0), "");
    EXPECT_EQ(PortTableDevice(256), "");

    bool listed = false;
    for (const PortEntry& e : PortTableList()) {
        EXPECT_NE(e.device, "/dev/pts/43");
        if (e.number == 200) {
            listed = true;
            EXPECT_EQ(e.device, "/dev/pts/42");
            EXPECT_EQ(e.description, "second");
        }
    }
    EXPECT_TRUE(listed);

    PortTablePin(200, "");  // an empty device removes the pin
    EXPECT_NE(PortTableDevice(200), "/dev/pts/42");
    PortTablePin(201, "/dev/pts/45");
    PortTableClearPins();
    EXPECT_NE(PortTableDevice(201), "/dev/pts/45");
}

TEST(PortTable, LabelsSeparateFieldsByTwoSpaces) {
    EXPECT_EQ(PortTableLabel({1, "/dev/ttyUSB0", "FT232R USB UART"}),
              "COM1  /dev/ttyUSB0  FT232R USB UART");
    EXPECT_EQ(PortTableLabel({12, "/dev/ttyS0", ""}), "COM12  /dev/ttyS0");
}

}  // namespace
