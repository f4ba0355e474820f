// The journal of writes: a record on the disk as soon as its Send has ended (the real program
// killed right after it), damaged lines skipped, an unwritable journal that never stands in a
// Send's way, the file's rotation, and the window's values taken back into the panel.
#include <gtest/gtest.h>
#include <signal.h>

#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <regex>

#include "console/commands.h"
#include "console/journal_store.h"
#include "console/journal_window.h"
#include "params/param_state.h"
#include "params/transfer_commands.h"
#include "platform/files/file_service.h"
#include "platform/files/journal_file.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_handle.h"
#include "resources/panel_ids.h"
#include "tests/support/app/panel_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/read_text.h"
#include "tests/support/scoped_env.h"

using namespace kervano;
namespace fs = std::filesystem;

namespace {

const std::vector<unsigned short> kFileWords = {0,   600, 501, 502, 700, 800, 40, 60,
                                                900, 901, 11,  12,  2,   3,   1,  1};

// Every test keeps its journal in a folder of its own.
struct JournalFolder {
    QTemporaryDir data;
    ScopedEnv env{"XDG_DATA_HOME", data.path().toUtf8()};
    static void WriteJournal(const std::string& bytes) {
        fs::create_directories(fs::path(JournalFilePath()).parent_path());
        ASSERT_TRUE(WriteFileWhole(JournalFilePath(), bytes));
    }
};

class JournalPanel : public PanelFixture, public JournalFolder {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        OpenLine();
        InstallJournalFile();
    }
    void TearDown() override {
        SetJournalWriter(nullptr);
        PanelFixture::TearDown();
    }
    static void Send() { CC_BTNSend(panelHandle, PANEL_BTNSEND, EVENT_COMMIT, nullptr, 0, 0); }
    static void Click(const char* button) {
        auto* b = PanelWidget(panelHandle)->findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        b->click();
    }
};

JournalRecord SomeRecord(const char* command) {
    JournalRecord record;
    record.time = "2026-03-02T14:05:09+01:00";
    record.command = command;
    record.packets = {kFileWords};
    record.ramBefore.known[0] = true;
    record.status = "Parameters sent to RAM";
    return record;
}

}  // namespace

TEST(JournalProgram, ARecordIsWholeOnTheDiskWhenTheProgramIsKilledRightAfterItsSend) {
    QTemporaryDir dir;
    const std::string data = dir.filePath("data").toStdString();
    const std::string params = dir.filePath("unit7.dat").toStdString();
    std::string file;
    for (unsigned short w : kFileWords) file += std::to_string(w) + "\n";
    ASSERT_TRUE(WriteFileWhole(params, file));
    ChildProcess tool(
        KV_BIN_DIR "/kervano-scope", {"--port", "1=sim", "--write-params", params, "--verify"},
        {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=", "XDG_DATA_HOME=" + data});
    // The Send has ended; the read-back that follows it is under way.
    std::string line;
    do line = tool.firstLine(10.0);
    while (!line.empty() && line.rfind("Verifying", 0) != 0);
    ASSERT_FALSE(line.empty()) << "no verify step";
    kill(tool.pid(), SIGKILL);
    tool.finish(0, 5.0);

    const std::string text = ReadText(data + "/kervano-scope/journal.jsonl");
    ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    JournalRecord record;
    ASSERT_TRUE(JournalRecordFromJson(text.substr(0, text.size() - 1), record)) << text;
    EXPECT_TRUE(
        std::regex_match(record.time, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)")))
        << record.time;
    EXPECT_EQ(record.command, "Send to RAM");
    EXPECT_EQ(record.port, "COM1");
    EXPECT_EQ(record.device, "sim");
    EXPECT_FALSE(record.firmware.empty());
    EXPECT_EQ(record.status, "Parameters sent to RAM");
    ASSERT_EQ(record.packets.size(), 2u);
    EXPECT_EQ(record.packets[0], kFileWords);
    EXPECT_EQ(record.packets[1][0], 1) << "the short packet";
    EXPECT_TRUE(MemoryKnown(record.ramBefore)) << "the set-up read RAM before the Send";
}

TEST_F(JournalPanel, DamagedLinesAreSkippedWithOneNoticeAndTheNextRecordStandsApart) {
    const std::string a = JournalRecordJson(SomeRecord("Send to EEPROM"));
    const std::string b = JournalRecordJson(SomeRecord("Teach"));
    WriteJournal(a + "\n{\"time\": 5\n" + b + "\n" + b.substr(0, b.size() / 2));
    ASSERT_EQ(EarlierJournalRecords().size(), 2u);
    EXPECT_EQ(EarlierJournalRecords()[0].command, "Send to EEPROM");
    EXPECT_EQ(EarlierJournalRecords()[1].packets[0], kFileWords);
    EarlierJournalRecords();
    EXPECT_EQ(TakeStatusHistory(),
              std::vector<std::string>{"Journal: 2 damaged lines skipped - last record cut short"});

    std::string reason;
    ASSERT_TRUE(AppendJournalLine(a, reason)) << reason;
    std::vector<std::string> lines;
    bool lastCut = true;
    ASSERT_TRUE(ReadJournalLines(JournalFilePath(), lines, lastCut));
    EXPECT_FALSE(lastCut);
    EXPECT_EQ(lines.back(), a) << "a new record never joins the line cut short";
}

TEST_F(JournalPanel, AnUnwritableJournalNeverStandsInASendsWayAndIsNamedOnce) {
    fs::create_directories(JournalFilePath());  // a folder where the file belongs
    const size_t before = JournalOfThisRun().size();
    for (unsigned int ref : {611u, 612u}) {
        SetCtrlVal(panelHandle, PANEL_REFTOP, ref);
        Send();
        EXPECT_EQ(StatusText(), "Parameters sent to RAM");
    }
    const auto history = TakeStatusHistory();
    EXPECT_EQ(std::count(history.begin(), history.end(), "Journal not written: Is a directory"), 1);
    EXPECT_EQ(controller.model().refTop(), 612);
    ASSERT_EQ(JournalOfThisRun().size(), before + 2);
    EXPECT_EQ(JournalOfThisRun().back().packets[0][4], 612);
}

TEST_F(JournalPanel, TheValuesBeforeASendTakenIntoThePanelAreMarkedUnsent) {
    CC_BTNGet(panelHandle, PANEL_BTNGET, EVENT_COMMIT, nullptr, 0, 0);
    const unsigned int ref = CtrlValue(PANEL_REFTOP);
    SetCtrlVal(panelHandle, PANEL_REFTOP, ref + 7);
    Send();
    ASSERT_EQ(UnsentChangeCount(), 0);

    ShowJournalWindow();
    Click("journalTakeBefore");
    EXPECT_EQ(CtrlValue(PANEL_REFTOP), ref);
    EXPECT_EQ(UnsentChangeList(),
              "refTOP " + std::to_string(ref + 7) + " -> " + std::to_string(ref) + "\n");
    EXPECT_EQ(StatusText(), "Journal: RAM values before taken into the panel - not sent");
    Click("journalTakeSent");
    EXPECT_EQ(UnsentChangeCount(), 0);
    PanelWidget(panelHandle)->findChild<QWidget*>("journalWindow")->close();
}

TEST_F(JournalPanel, TeachAndResetLeaveTheirFrameAndTheirLastStatusText) {
    for (auto command : {CC_ButtonTeach, CC_ButtonReset}) {
        SetCtrlVal(panelHandle, PANEL_REFTOP, 613u);
        command(panelHandle, 0, EVENT_COMMIT, nullptr, 0, 0);
        const JournalRecord& record = JournalOfThisRun().back();
        EXPECT_EQ(record.command, command == CC_ButtonTeach ? "Teach" : "Reset");
        ASSERT_EQ(record.packets.size(), 1u);
        EXPECT_EQ(record.packets[0][0], 0) << "the full packet";
        EXPECT_EQ(record.packets[0][4], 613) << "with the panel's refTOP";
        EXPECT_EQ(record.status, StatusText());
    }
}

TEST(JournalFile, PastFourMebibytesItBecomesJournal1AndTheNextLineStartsANewFile) {
    const JournalFolder folder;
    const std::string big(kJournalRotateBytes - 4, 'x');
    JournalFolder::WriteJournal(big + "\n");
    ASSERT_TRUE(WriteFileWhole(OlderJournalFilePath(), "older\n"));
    std::string reason;
    ASSERT_TRUE(AppendJournalLine("{\"a\":1}", reason)) << reason;
    EXPECT_EQ(ReadText(OlderJournalFilePath()), big + "\n{\"a\":1}\n");
    EXPECT_FALSE(fs::exists(JournalFilePath()));
    ASSERT_TRUE(AppendJournalLine("{\"b\":2}", reason)) << reason;
    EXPECT_EQ(ReadText(JournalFilePath()), "{\"b\":2}\n");
}
