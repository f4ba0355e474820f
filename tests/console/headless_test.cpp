// The headless modes: on the simulated line with its virtual clock (time-outs, the capture
// read back against the curves), then the real program against kervano-sim on a pty.
#include "console/headless.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "console/startup.h"
#include "link/data_block.h"
#include "link/frame.h"
#include "params/param_file.h"
#include "params/param_set.h"
#include "params/param_table.h"
#include "platform/files/file_service.h"
#include "platform/serial/com_service.h"
#include "tests/support/app/run_program.h"
#include "tests/support/child_process.h"
#include "tests/support/csv_reader.h"
#include "tests/support/read_text.h"
#include "tests/support/sim_controller.h"
#include "tests/support/sim_line.h"

using namespace kervano;
namespace fs = std::filesystem;

namespace {

// A parameter file as Windows programs write it: CRLF, fields four wide, 65535 included.
constexpr const char* kWindowsFile =
    "   0\r\n 600\r\n 501\r\n 502\r\n 700\r\n 800\r\n  40\r\n  60\r\n 900\r\n 901\r\n"
    "  11\r\n  12\r\n   2\r\n   3\r\n65535\r\n   1\r\n";
const unsigned short kWindowsFileWords[16] = {0,   600, 501, 502, 700, 800, 40,    60,
                                              900, 901, 11,  12,  2,   3,   65535, 1};

class TempDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/kv-headless-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string File(const char* name) const { return (dir / name).string(); }

    fs::path dir;
};

// In process: the emulator on the simulated line, no panel loaded.
class HeadlessOnSimLine : public TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        SetComService(&line);
        ASSERT_EQ(panelHandle, -1);
        widgets = QApplication::allWidgets().size();
    }
    void TearDown() override {
        // The routines' panel calls found no panel and made no widget.
        EXPECT_EQ(panelHandle, -1);
        EXPECT_EQ(QApplication::allWidgets().size(), widgets);
        SetComService(nullptr);
        TempDirTest::TearDown();
    }
    int Run(std::vector<std::string> args) { return RunHeadlessMode(args, out, errors); }

    SimLine line;
    SimController controller{line};
    qsizetype widgets = 0;
    std::string out, errors;
};

// The real programs: kervano-sim on a pty of its own, kervano-scope without a display.
class HeadlessProgram : public TempDirTest {
  protected:
    void StartSim(std::vector<std::string> args = {}) {
        args.push_back("--log");
        sim = std::make_unique<ChildProcess>(KV_BIN_DIR "/kervano-sim", args);
        ASSERT_TRUE(sim->started());
        device = sim->firstLine();
        ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;
    }
    // Runs kervano-scope on COM1 = the emulator; returns its exit code.
    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--port", "1=" + device});
        ChildProcess program(KV_BIN_DIR "/kervano-scope", args,
                             {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="});
        out = program.readAll(false, 10.0);
        errors = program.readAll(true, 2.0);
        const int status = program.finish(0, 5.0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // The orders of the requests the emulator took in, with their word 0.
    std::string SimLog() { return log += sim->readAll(false, 0.2); }

    std::unique_ptr<ChildProcess> sim;
    std::string device, out, errors, log;
};

// The line of a --compare table that shows parameter name; "" when there is none.
std::string TableRow(const std::string& out, const std::string& name) {
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.size() > 2 && line.compare(2, name.size() + 1, name + " ") == 0) return line;
    }
    return "";
}

}  // namespace

TEST(HeadlessParameterFile, WindowsFileLoadsExactlyThroughTheLoader) {
    char name[] = "/tmp/kv-crlf-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(WriteFileWhole(name, kWindowsFile));
    SetParameterDefaults();
    hold = 77;
    std::strcpy(file_name, name);
    EXPECT_EQ(LoadParaFile(), 1);
    std::remove(name);
    const unsigned short loaded[] = {powerTOP, powerBOT, powerDIG, refTOP,  refBOT,
                                     tolTOP,   tolBOT,   trigTOP,  trigBOT, hystTOP,
                                     hystBOT,  evalmode, hwmode,   maxmode, polarity};
    for (int k = 1; k < 16; ++k) EXPECT_EQ(loaded[k - 1], kWindowsFileWords[k]) << "word " << k;
    EXPECT_EQ(hold, 77);  // the file holds the full packet only
}

TEST_F(HeadlessOnSimLine, ControllerFailuresEndWithCodeOneAndWriteNoFile) {
    const struct {
        const char* name;
        std::function<void(sim::Faults&)> fault;
        std::vector<std::string> mode;
        const char* says;
    } cases[] = {
        {"silent",
         [](sim::Faults& f) { f.silent = true; },
         {"--read-params"},
         "no controller ready on COM1 - Timeout < 36 Bytes"},
        {"EEPROM unanswered",
         [](sim::Faults& f) { f.ignoredOrders = {4}; },
         {"--from", "eeprom", "--read-params"},
         "parameters not read from EEPROM - Timeout-RS-232..."},
        {"firmware unanswered",
         [](sim::Faults& f) { f.ignoredOrders = {7}; },
         {"--write-params"},
         "no controller ready on COM1 - Error reading firmware-info!"},
        {"echo only",
         [](sim::Faults& f) { f.ignoredOrders = {2}; },
         {"--capture"},
         "no controller ready on COM1 - Timeout-RS-232 - parameters not read from controller!"},
    };
    ASSERT_TRUE(WriteFileWhole(File("in.dat"), kWindowsFile));
    for (const auto& c : cases) {
        controller.model() = sim::ControllerModel();
        c.fault(controller.model().faults);
        std::vector<std::string> args = c.mode;
        args.push_back(c.mode.back() == "--write-params" ? File("in.dat") : File("out"));
        const double start = line.now();
        EXPECT_EQ(Run(args), 1) << c.name;
        EXPECT_EQ(errors, std::string("kervano-scope: ") + c.says + "\n") << c.name;
        EXPECT_FALSE(fs::exists(File("out"))) << c.name;
        EXPECT_LT(line.now() - start, 8.0) << c.name;  // every wait ended on its time-out
    }
    EXPECT_NE(out.find("COM1: "), std::string::npos) << out;
}

TEST_F(HeadlessOnSimLine, JsonLinesCarryEveryStepAndOneResult) {
    ASSERT_TRUE(WriteFileWhole(File("in.dat"), kWindowsFile));
    const struct {
        std::function<void(sim::Faults&)> fault;
        std::vector<std::string> args;
        int code;
        bool parametersKnown;
        std::vector<std::string> mismatches;
        std::string error;
    } cases[] = {
        {[](sim::Faults&) {}, {"--read-params", File("out.dat")}, 0, true, {}, ""},
        {[](sim::Faults& f) {
             f.corruptWords = {{4, 123}};
         },
         {"--write-params", File("in.dat"), "--verify"},
         1,
         true,
         {"refTOP (full packet word 4) sent 700, RAM holds 123"},
         "verify failed: 1 of 18 parameters differ in RAM"},
        {[](sim::Faults& f) { f.silent = true; },
         {"--capture", File("c.csv")},
         1,
         false,
         {},
         "no controller ready on COM1 - Timeout < 36 Bytes"},
    };
    for (const auto& c : cases) {
        controller.model() = sim::ControllerModel();
        c.fault(controller.model().faults);
        std::vector<std::string> args = c.args;
        args.push_back("--json");
        EXPECT_EQ(Run(args), c.code) << c.args[0];
        std::istringstream lines(out);
        std::vector<QJsonObject> objects;
        for (std::string line; std::getline(lines, line);) {
            QJsonParseError error;
            const QJsonDocument document =
                QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
            ASSERT_EQ(error.error, QJsonParseError::NoError) << line;
            objects.push_back(document.object());
        }
        ASSERT_GE(objects.size(), 2u) << out;
        for (size_t i = 0; i + 1 < objects.size(); ++i) {
            EXPECT_TRUE(objects[i]["step"].isString()) << c.args[0];
            EXPECT_TRUE(objects[i]["time"].toString().startsWith("20")) << c.args[0];
        }
        const QJsonObject result = objects.back()["result"].toObject();
        EXPECT_EQ(result["command"].toString().toStdString(), c.args[0].substr(2));
        EXPECT_EQ(result["exitStatus"].toInt(-1), c.code);
        EXPECT_EQ(result["port"].toString(), "COM1");
        EXPECT_EQ(result["parameters"].isObject(), c.parametersKnown) << c.args[0];
        if (c.parametersKnown) {
            EXPECT_TRUE(result["parameters"]["refTOP"].isDouble());
        }
        std::vector<std::string> mismatches;
        for (const auto& m : result["mismatches"].toArray())
            mismatches.push_back(m.toString().toStdString());
        EXPECT_EQ(mismatches, c.mismatches);
        EXPECT_EQ(result["error"].toString().toStdString(), c.error);
        if (c.code == 0) {
            EXPECT_EQ(result["firmware"].toString(), "SIM 1.31");
        }
    }
}

TEST_F(HeadlessOnSimLine, CaptureWithAMissingBlockLeavesItsCellsEmptyAndEndsWithOne) {
    // Block 0 (TOP samples 1-64) times out; a time-out clears both curves, and the three
    // later blocks fill theirs again.
    controller.model().faults.ignoredBlockStarts = {0};
    EXPECT_EQ(Run({"--capture", File("c.csv")}), 1);
    EXPECT_NE(out.find("Timeout-RS-232 while reading 64 data-words!"), std::string::npos);
    EXPECT_NE(out.find("Capture written to " + File("c.csv") + " (3 of 4 blocks)"),
              std::string::npos)
        << out;
    EXPECT_EQ(errors,
              "kervano-scope: capture incomplete - Data incomplete - only 3 of 4 blocks "
              "received!\n");

    const CsvText csv = ReadCsv(ReadText(File("c.csv")));
    ASSERT_EQ(csv.rows.size(), 128u);
    EXPECT_NE(csv.comments.at(1).find("refTOP=500"), std::string::npos);
    int nonZero = 0;
    for (int i = 0; i < 128; ++i) {
        const auto& row = csv.rows[i];
        ASSERT_EQ(row.size(), 9u);
        EXPECT_EQ(row[1], i < 64 ? "" : std::to_string(yArrayA[i])) << i;
        EXPECT_EQ(row[5], std::to_string(yArrayB[i])) << i;
        // The emulator's defaults: reference 500, tolerance 50, hysteresis 10.
        EXPECT_EQ(std::vector<std::string>(row.begin() + 2, row.begin() + 5),
                  (std::vector<std::string>{"500", "550", "490"}));
        EXPECT_EQ(std::vector<std::string>(row.begin() + 6, row.end()),
                  (std::vector<std::string>{"500", "510", "450"}));
        nonZero += yArrayB[i] != 0;
    }
    EXPECT_GT(nonZero, 100);  // the cells carry measured words, not a cleared curve
}

TEST_F(HeadlessProgram, ReadParamsFromEepromWritesTheFile) {
    StartSim({"--param", "4=777", "--param", "15=65535"});
    EXPECT_EQ(Run({"--read-params", File("p.dat"), "--from", "eeprom"}), 0) << errors;
    EXPECT_EQ(errors, "");
    EXPECT_NE(out.find("Echo Check - Line Ok!\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Parameters from EEPROM written to " + File("p.dat")), std::string::npos);
    unsigned short words[16];
    ASSERT_TRUE(ParseParameterRecord(ReadText(File("p.dat")), words));
    EXPECT_EQ(words[4], 777);
    EXPECT_EQ(words[15], 65535);
    EXPECT_NE(SimLog().find("frame 4 0\nframe 4 1\n"), std::string::npos) << log;
}

TEST_F(HeadlessProgram, WriteParamsVerifiesAndTheControllerHoldsTheWindowsFile) {
    StartSim();
    ASSERT_TRUE(WriteFileWhole(File("windows.dat"), kWindowsFile));
    EXPECT_EQ(Run({"--write-params", File("windows.dat"), "--to", "eeprom", "--verify"}), 0)
        << out << errors;
    EXPECT_NE(out.find("Transmit para Ok!\n"), std::string::npos) << out;
    EXPECT_NE(out.find("and verified: all 18 read back as sent"), std::string::npos) << out;
    // Read in a second run: what the controller keeps is the file, word for word.
    EXPECT_EQ(Run({"--read-params", File("back.dat"), "--from", "eeprom"}), 0) << errors;
    unsigned short words[16];
    ASSERT_TRUE(ParseParameterRecord(ReadText(File("back.dat")), words));
    EXPECT_TRUE(std::equal(words, words + 16, kWindowsFileWords));
    // The short packet was read from EEPROM first and sent back unchanged (hold 100).
    EXPECT_NE(SimLog().find("frame 4 1\nframe 3 0\nframe 3 1\n"), std::string::npos) << log;
}

TEST_F(HeadlessProgram, VerifyReportsAControllerThatStoresAnotherValue) {
    StartSim({"--corrupt-word", "4=123"});
    ASSERT_TRUE(WriteFileWhole(File("windows.dat"), kWindowsFile));
    EXPECT_EQ(Run({"--write-params", File("windows.dat"), "--verify"}), 1);
    EXPECT_NE(out.find("Mismatch: refTOP (full packet word 4) sent 700, RAM holds 123\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("Mismatch"), out.rfind("Mismatch")) << "only the one word differs";
    EXPECT_EQ(errors, "kervano-scope: verify failed: 1 of 18 parameters differ in RAM\n");
}

TEST_F(HeadlessProgram, CaptureWritesEverySampleWithItsLines) {
    StartSim({"--param", "4=600", "--param", "7=70"});  // refTOP, tolBOT
    EXPECT_EQ(Run({"--capture", File("c.csv")}), 0) << errors;
    const CsvText csv = ReadCsv(ReadText(File("c.csv")));
    ASSERT_EQ(csv.comments.size(), 2u);
    EXPECT_EQ(csv.comments[0].rfind("capture time: 20", 0), 0u) << csv.comments[0];
    EXPECT_NE(csv.comments[1].find("refTOP=600 refBOT=500 tolTOP=50 tolBOT=70"), std::string::npos);
    ASSERT_EQ(csv.rows.size(), 128u);
    for (int i = 0; i < 128; ++i) {
        const auto& row = csv.rows[i];
        ASSERT_EQ(row.size(), 9u);
        EXPECT_EQ(row[0], std::to_string(i + 1));
        EXPECT_EQ(std::vector<std::string>(row.begin() + 2, row.begin() + 5),
                  (std::vector<std::string>{"600", "650", "590"}));
        EXPECT_EQ(std::vector<std::string>(row.begin() + 6, row.end()),
                  (std::vector<std::string>{"500", "510", "430"}));
        for (int column : {1, 5}) {
            ASSERT_FALSE(row[column].empty()) << i;
            EXPECT_LE(std::stoi(row[column]), 1000);
        }
    }
}

TEST_F(HeadlessProgram, FailuresEndWithTheirCodes) {
    ASSERT_TRUE(WriteFileWhole(File("text.dat"), "not a parameter file\n"));
    std::string outside = kWindowsFile;
    outside.replace(outside.find(" 502"), 4, "70000");  // on the fourth line
    ASSERT_TRUE(WriteFileWhole(File("70000.dat"), outside));
    fs::create_directory(File("folder.dat"));
    const struct {
        std::vector<std::string> sim;
        std::vector<std::string> args;
        int code;
        std::string says;
    } cases[] = {
        {{"--echo-word", "0x1234"},
         {"--capture", File("c.csv")},
         1,
         "no controller ready on COM1 - read error - not sync byte 0xAA!"},
        {{}, {"--write-params", File("missing.dat")}, 2, "Cannot read parameter file!"},
        {{}, {"--write-params", File("folder.dat")}, 2, "Cannot read parameter file!"},
        {{}, {"--write-params", File("text.dat")}, 2, "Not a parameter file"},
        {{}, {"--compare", File("text.dat")}, 2, "Not a parameter file"},
        {{},
         {"--compare", File("70000.dat")},
         2,
         "not loaded - Cannot read parameter file! - line 4: 70000 is outside 0..65535"},
        {{}, {"--read-params", File("no/such/dir.dat")}, 2, "cannot write parameter file"},
        {{}, {"--capture", File("no/such/dir.csv")}, 2, "cannot write " + File("no/such")},
        {{}, {"--capture"}, 2, "--capture needs a file name"},
        {{"--echo-word", "0x1234"},
         {"--report", File("r.html")},
         1,
         "no controller ready on COM1 - read error - not sync byte 0xAA!"},
        {{}, {"--report", File("no/such/dir.html")}, 2, "cannot write " + File("no/such")},
        {{}, {"--report"}, 2, "--report needs a file name"},
        // The one real time-out of these tests: the line check's 2-s port time-out.
        {{"--silent"}, {"--read-params", File("p.dat")}, 1, "Timeout < 36 Bytes"},
    };
    for (const auto& c : cases) {
        StartSim(c.sim);
        log.clear();
        EXPECT_EQ(Run(c.args), c.code) << c.says << "\n" << out << errors;
        EXPECT_NE(errors.find(c.says), std::string::npos) << errors;
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        // A file that cannot be used never reaches the line.
        if (c.args[0] == "--write-params" || c.args[0] == "--compare") {
            EXPECT_EQ(SimLog(), "") << c.says;
        }
    }
    EXPECT_FALSE(fs::exists(File("p.dat")));
    EXPECT_FALSE(fs::exists(File("c.csv")));
    EXPECT_FALSE(fs::exists(File("r.html")));
}

TEST_F(HeadlessOnSimLine, CompareShowsAnUnansweredMemoryAsNotReadAndEndsWithOne) {
    controller.model().faults.ignoredOrders = {ORDER_READ_EEPROM};
    controller.model().ram[0][4] = 640;  // refTOP
    EXPECT_EQ(Run({"--compare"}), 1);
    // RAM's packets, then EEPROM's, as Get asks for them; EEPROM answers neither.
    std::vector<std::pair<int, int>> reads;
    for (const auto& r : controller.requests()) reads.emplace_back(r.order, r.payload.at(0));
    const std::vector<std::pair<int, int>> compareReads = {{2, 0}, {2, 1}, {4, 0}, {4, 1}};
    ASSERT_GE(reads.size(), compareReads.size());
    EXPECT_TRUE(std::equal(compareReads.begin(), compareReads.end(), reads.end() - 4));
    EXPECT_NE(out.find("\n  refTOP          640 not read      500\n"), std::string::npos) << out;
    for (const ParameterEntry& entry : kParameterTable) {
        const std::string row = TableRow(out, entry.name);
        // Name ten wide after the mark, then columns nine wide: RAM, EEPROM, default.
        EXPECT_EQ(row.substr(12 + 9, 9), " not read") << row;  // EEPROM, the last column
    }
    EXPECT_NE(out.find("\nEEPROM not read; the values read agree\n"), std::string::npos) << out;
    EXPECT_EQ(errors,
              "kervano-scope: parameters not read from EEPROM - Timeout-RS-232 - parameters "
              "not read from controller!\n");
}

TEST_F(HeadlessProgram, CompareEndsWithZeroOnlyWhenRamEepromAndTheFileAgree) {
    StartSim({"--param", "4=600"});
    EXPECT_EQ(Run({"--compare"}), 0) << errors;
    EXPECT_EQ(errors, "");
    EXPECT_NE(out.find("\n  parameter       RAM   EEPROM  default  note\n"), std::string::npos)
        << out;
    EXPECT_NE(out.find("\n  refTOP          600      600      500\n"), std::string::npos) << out;
    EXPECT_TRUE(out.ends_with("\nRAM and EEPROM agree in every parameter\n")) << out;
    // After the set-up's firmware request, Get's four reads.
    const std::string afterSetUp = SimLog().substr(std::min(log.find("frame 7"), log.size()));
    EXPECT_TRUE(afterSetUp.starts_with("frame 7")) << log;
    EXPECT_NE(afterSetUp.find("frame 2 0\nframe 2 1\nframe 4 0\nframe 4 1\n"), std::string::npos)
        << log;

    // RAM takes the Windows file; EEPROM keeps its set, which differs in 14 of its words.
    ASSERT_TRUE(WriteFileWhole(File("windows.dat"), kWindowsFile));
    ASSERT_EQ(Run({"--write-params", File("windows.dat")}), 0) << errors;
    EXPECT_EQ(Run({"--compare", File("windows.dat")}), 1);
    EXPECT_NE(out.find("\n  parameter       RAM   EEPROM  default     file  note\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\n* refTOP          700      600      500      700  EEPROM differs from "
                       "RAM\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\n  polarity          1        1        1        1\n"), std::string::npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '*'), 14) << out;
    EXPECT_EQ(errors, "kervano-scope: 14 of 18 parameters differ between RAM, EEPROM and file\n");

    // EEPROM takes it too: all three agree, the file's column empty in the short packet.
    ASSERT_EQ(Run({"--write-params", File("windows.dat"), "--to", "eeprom"}), 0) << errors;
    EXPECT_EQ(Run({"--compare", File("windows.dat")}), 0) << errors;
    EXPECT_NE(out.find("\n  hold            100      100      100\n"), std::string::npos) << out;
    EXPECT_TRUE(out.ends_with("\nRAM, EEPROM and file agree in every parameter\n")) << out;
}
