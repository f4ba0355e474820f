// Parameter files against bad content and hostile file systems, through the Get and Send
// commands on the panel and through --write-params and --read-params. A file that cannot be
// used changes no parameter and says why; a save that fails leaves the old file and no
// temporary file behind.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <vector>

#include "console/headless.h"
#include "link/frame.h"
#include "params/panel_binding.h"
#include "params/param_file.h"
#include "params/param_table.h"
#include "platform/serial/serial_port.h"
#include "tests/params/param_file_fixture.h"
#include "tests/support/app/run_program.h"
#include "tests/support/sim_controller.h"

using namespace kervano;
namespace fs = std::filesystem;

namespace {

constexpr const char* kCannotRead = "Cannot read parameter file!";
constexpr const char* kNotARecord = "Not a parameter file (16 numbers expected) - nothing loaded!";
constexpr const char* kCannotWrite = "Cannot write parameter file - file unchanged!";

// The eighteen controls in the order of kParameterTable.
const int kAllControls[kParameterCount] = {
    PANEL_POWERTOP, PANEL_POWERBOT, PANEL_POWERDIG, PANEL_REFTOP,  PANEL_REFBOT,  PANEL_TOLTOP,
    PANEL_TOLBOT,   PANEL_TRIGTOP,  PANEL_TRIGBOT,  PANEL_HYSTTOP, PANEL_HYSTBOT, PANEL_EVALMODE,
    PANEL_HWMODE,   PANEL_MAXMODE,  PANEL_POLARITY, PANEL_DIGCNT,  PANEL_DIGMODE, PANEL_HOLD};

using Words = std::vector<unsigned>;

// Sixteen numbers "0 11 12 ..." cut or extended to count.
std::string Numbers(int count, const char* separator = " ") {
    std::string text;
    for (int i = 0; i < count; ++i) text += std::to_string(i == 0 ? 0 : 10 + i) + separator;
    return text;
}
const Words kNumbersWords = {0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25};

// Each case makes what the dialog chooses in an empty folder and returns its path.
using Make = std::function<std::string(const fs::path& folder)>;

Make Text(std::string text) {
    return [text](const fs::path& folder) {
        const std::string path = (folder / "CONpara.dat").string();
        WriteFile(path, text);
        return path;
    };
}

std::string WindowsRecord(const Words& words) {
    std::string text;
    char field[16];
    for (unsigned w : words) {
        std::snprintf(field, sizeof field, "%4u\r\n", w);
        text += field;
    }
    return text;
}
const Words kWindowsWords = {0, 600, 501, 502, 700, 800, 40, 60, 900, 901, 11, 12, 2, 3, 65535, 1};

std::string Padded(long long size) {
    std::string text = Numbers(16);
    text.resize(static_cast<size_t>(size), ' ');
    return text;
}

struct LoadCase {
    const char* name;
    Make make;
    const char* refusal;  // the status text, or nullptr when the file loads
    Words words;          // the record it loads
};

const LoadCase kLoadCases[] = {
    {"missing", [](const fs::path& f) { return (f / "CONpara.dat").string(); }, kCannotRead, {}},
    {"empty", Text(""), kNotARecord, {}},
    {"fifteen numbers", Text(Numbers(15)), kNotARecord, {}},
    {"a word", Text(Numbers(15) + "oops"), kNotARecord, {}},
    // A number outside 0..65535 is named with its line, never cut to 16 bits.
    {"a negative number on the last line",
     Text(Numbers(15, "\n") + "-16\n"),
     "Cannot read parameter file! - line 16: -16 is outside 0..65535",
     {}},
    {"70000 on line 4, CRLF",
     Text("0\r\n1\r\n\r\n70000\r\n" + Numbers(14).substr(2)),
     "Cannot read parameter file! - line 4: 70000 is outside 0..65535",
     {}},
    {"65536 after a byte-order mark",
     Text("\xEF\xBB\xBF"
          "65536 " +
          Numbers(16).substr(2)),
     "Cannot read parameter file! - line 1: 65536 is outside 0..65535",
     {}},
    {"a number too long for the status line",
     Text(Numbers(15) + "\n\n" + std::string(40, '9')),
     "Cannot read parameter file! - line 3: number outside 0..65535",
     {}},
    {"minus zero", Text(Numbers(15) + "-0"), kNotARecord, {}},
    {"a fraction", Text(Numbers(15) + "1.5"), kNotARecord, {}},
    {"a NUL byte", Text(Numbers(15) + std::string("25\0", 3)), kNotARecord, {}},
    {"0xFF bytes", Text("\xFF\xFE" + Numbers(16)), kNotARecord, {}},
    // One record of sixteen is the whole file; more numbers mean a file of something else.
    {"seventeen numbers", Text(Numbers(17)), kNotARecord, {}},
    {"two records", Text(Numbers(16, "\n") + Numbers(16, "\n")), kNotARecord, {}},
    {"a folder",
     [](const fs::path& f) {
         fs::create_directory(f / "CONpara.dat");
         return (f / "CONpara.dat").string();
     },
     kCannotRead,
     {}},
    {"a named pipe",  // would block for ever if it were opened for reading
     [](const fs::path& f) {
         const std::string path = (f / "CONpara.dat").string();
         mkfifo(path.c_str(), 0600);
         return path;
     },
     kCannotRead,
     {}},
    {"100 MB of digits",
     [](const fs::path& f) {
         const std::string path = (f / "CONpara.dat").string();
         std::ofstream out(path, std::ios::binary);
         const std::string digits(1 << 20, '7');
         for (int mb = 0; mb < 100; ++mb) out << digits;
         return path;
     },
     kCannotRead,
     {}},
    {"one byte over the size limit", Text(Padded(kMaxParamFileBytes + 1)), kCannotRead, {}},
    {"at the size limit", Text(Padded(kMaxParamFileBytes)), nullptr, kNumbersWords},
    {"CRLF, fields four wide", Text(WindowsRecord(kWindowsWords)), nullptr, kWindowsWords},
    {"a byte-order mark before CRLF lines, as Notepad saves",
     Text("\xEF\xBB\xBF" + WindowsRecord(kWindowsWords)), nullptr, kWindowsWords},
    {"65535 with leading zeros",
     Text("0 0065535" + Numbers(15).substr(1)),
     nullptr,
     {0, 65535, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}},
    {"first number 1",
     Text("1 " + Numbers(16).substr(2)),
     nullptr,
     {1, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}},
};

struct SaveCase {
    const char* name;
    Make make;
    bool fillsTheDisk = false;  // a file size limit of a few bytes while saving
};

const SaveCase kSaveCases[] = {
    // A folder that takes no new file, for root too: chmod does not stop root, /proc does.
    {"a read-only folder", [](const fs::path&) { return std::string("/proc/CONpara.dat"); }},
    {"a full disk", Text("old content\n"), true},
    {"a folder",
     [](const fs::path& f) {
         fs::create_directory(f / "CONpara.dat");
         WriteFile((f / "CONpara.dat" / "inside.dat").string(), "kept\n");
         return (f / "CONpara.dat").string();
     }},
    {"a folder that vanished",
     [](const fs::path& f) {
         fs::create_directory(f / "gone");
         fs::remove(f / "gone");
         return (f / "gone" / "CONpara.dat").string();
     }},
    {"a named pipe",  // neither written into nor replaced by a regular file
     [](const fs::path& f) {
         const std::string path = (f / "CONpara.dat").string();
         mkfifo(path.c_str(), 0600);
         return path;
     }},
};

// Every entry under folder with its kind and content, to see that nothing changed.
std::map<std::string, std::string> Listing(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        const std::string kind = e.is_regular_file() ? "file:" + ReadText(e.path().string())
                                 : e.is_directory()  ? "folder"
                                 : e.is_fifo()       ? "pipe"
                                                     : "other";
        entries[e.path().string()] = kind;
    }
    return entries;
}

// Runs body with a file size limit of a few bytes, which makes writes fail even for root.
void WithFullDisk(bool full, const std::function<void()>& body) {
    if (!full) return body();
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 8;
    setrlimit(RLIMIT_FSIZE, &tiny);
    body();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
}

class ParamFileFaults : public ParamFileTest {
  protected:
    // Panel and variables hold 100, 101, ... 117; pp holds 900 + i.
    void KnownSet() {
        for (int p = 0; p < kParameterCount; ++p)
            SetCtrlVal(panelHandle, kAllControls[p], static_cast<unsigned>(100 + p));
        GetPanelValues();
        for (int i = 0; i < PNUM; ++i) pp[i] = static_cast<unsigned short>(900 + i);
    }
    Words Variables() const {
        Words v;
        for (const auto& entry : kParameterTable) v.push_back(*entry.variable);
        return v;
    }
    Words Panel() const {
        Words v;
        for (int control : kAllControls) v.push_back(CtrlValue(control));
        return v;
    }
};

}  // namespace

TEST_F(ParamFileFaults, LoadingTakesOnlyAWholeRecord) {
    for (const LoadCase& c : kLoadCases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        path = c.make(folder.path().toStdString());
        KnownSet();
        SetCtrlVal(panelHandle, PANEL_REFTOP, 999u);  // an edit not yet sent
        const Words variables = Variables(), panel = Panel();
        const Words packet(pp, pp + PNUM);
        Get();
        if (c.refusal != nullptr) {
            EXPECT_EQ(StatusText(), c.refusal);
            EXPECT_EQ(Variables(), variables);
            EXPECT_EQ(Panel(), panel) << "the operator's edit stays";
            EXPECT_EQ(Words(pp, pp + PNUM), packet);
            continue;
        }
        EXPECT_EQ(StatusText(), "Parameters loaded from " + path);
        EXPECT_EQ(Words(pp, pp + PNUM), c.words);
        Words expected = variables;  // the short packet's three stay
        for (int p = 0; p < kParameterCount; ++p)
            if (kParameterTable[p].flag == 0) expected[p] = c.words[kParameterTable[p].word];
        EXPECT_EQ(Variables(), expected);
        EXPECT_EQ(Panel(), expected) << "Get shows all eighteen";
    }
}

TEST_F(ParamFileFaults, FailedSavesLeaveEverythingAsItWas) {
    for (const SaveCase& c : kSaveCases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        path = c.make(folder.path().toStdString());
        KnownSet();
        const Words variables = Variables(), panel = Panel();
        const auto before = Listing(folder.path().toStdString());
        WithFullDisk(c.fillsTheDisk, [this] { Send(); });
        EXPECT_EQ(StatusText(), kCannotWrite);
        EXPECT_EQ(Listing(folder.path().toStdString()), before)
            << "old file unchanged, no temporary file";
        EXPECT_EQ(Variables(), variables);
        EXPECT_EQ(Panel(), panel);
    }
}

// The headless modes use the same routines without a panel.
class HeadlessParamFileFaults : public ::testing::Test {
  protected:
    void SetUp() override { SetComService(&line); }
    void TearDown() override { SetComService(nullptr); }
    int Run(const std::vector<std::string>& args) { return RunHeadlessMode(args, out, errors); }

    SimLine line;
    SimController controller{line};
    std::string out, errors;
};

TEST_F(HeadlessParamFileFaults, WriteParamsRefusesTheFileBeforeTheLine) {
    for (const LoadCase& c : kLoadCases) {
        if (c.refusal == nullptr) continue;
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const std::string path = c.make(folder.path().toStdString());
        line.clearWrites();
        EXPECT_EQ(Run({"--write-params", path}), kExitUsageError);
        EXPECT_NE(errors.find(c.refusal), std::string::npos) << errors;
        EXPECT_TRUE(line.writes().empty()) << "nothing goes on the line";
    }
}

TEST_F(HeadlessParamFileFaults, ReadParamsLeavesTheOldFile) {
    for (const SaveCase& c : kSaveCases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const std::string path = c.make(folder.path().toStdString());
        const auto before = Listing(folder.path().toStdString());
        int code = 0;
        WithFullDisk(c.fillsTheDisk, [&] { code = Run({"--read-params", path}); });
        EXPECT_EQ(code, kExitUsageError);
        // With the disk full the captured output is lost as well.
        if (!c.fillsTheDisk) {
            EXPECT_NE(errors.find("cannot write parameter file"), std::string::npos) << errors;
        }
        EXPECT_EQ(Listing(folder.path().toStdString()), before);
    }
}
