// The panel against the controller: marks of unsent fields, the Parameters frame's line,
// Teach and Reset shown as reread, questions before anything is lost or stored, and the
// texts that name where values went. The real panel offscreen, the emulator on the
// simulated line.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "console/commands.h"
#include "console/param_questions.h"
#include "console/settings.h"
#include "console/startup.h"
#include "link/frame.h"
#include "link/port_setup.h"
#include "params/param_set.h"
#include "params/transfer_commands.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "tests/support/app/panel_fixture.h"

using namespace kervano;

namespace {

class ParamTruthTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        InstallParameterQuestions();
        for (const char* key : {"confirm/skipEeprom", "confirm/skipTeach", "confirm/skipReset"})
            OpenSettings()->remove(QLatin1String(key));
        SetQuestionHook([this](const Question& q, bool& doNotAsk) {
            asked.push_back(q);
            doNotAsk = tickDoNotAsk;
            return answer;
        });
        ASSERT_EQ(InitRS232(com), 1);
        TakeStatusHistory();
    }
    void Press(CtrlCallbackPtr callback, int control) {
        callback(panelHandle, control, EVENT_COMMIT, nullptr, 0, 0);
    }
    void SelectTarget(int control, CtrlCallbackPtr callback) {
        SetCtrlVal(panelHandle, control, 1);
        callback(panelHandle, control, EVENT_VAL_CHANGED, nullptr, 0, 0);
    }
    std::string Line() const {
        char text[512] = "";
        GetCtrlVal(panelHandle, PANEL_PARAMSTATE, text, sizeof text);
        return text;
    }
    QSpinBox* Spin(int control) const {
        return qobject_cast<QSpinBox*>(CtrlWidget(panelHandle, control));
    }
    bool Marked(int control) const { return Spin(control)->font().bold(); }
    std::vector<int> OrdersAfter(size_t from) const {
        const std::vector<int> all = controller.orders();
        return std::vector<int>(all.begin() + static_cast<long>(from), all.end());
    }

    std::vector<Question> asked;
    QuestionAnswer answer = ANSWER_CONFIRM;
    bool tickDoNotAsk = false;
};

}  // namespace

TEST_F(ParamTruthTest, AnEditIsMarkedCountedAndClearedBySend) {
    EXPECT_EQ(Line(), "Panel = controller RAM\nEEPROM not read");
    controller.model().ram[0][4] = 620;
    Press(CC_BTNGet, PANEL_BTNGET);
    SetCtrlVal(panelHandle, PANEL_REFTOP, 444u);
    SetCtrlVal(panelHandle, PANEL_HOLD, 7u);
    EXPECT_TRUE(Marked(PANEL_REFTOP));
    EXPECT_FALSE(Marked(PANEL_REFBOT));
    EXPECT_EQ(Spin(PANEL_REFTOP)->suffix(), " *") << "a marker beside the colour";
    EXPECT_EQ(Spin(PANEL_REFTOP)->toolTip().section('\n', 0, 0).toStdString(),
              "Controller RAM: 620 - panel: 444 (not sent)");
    EXPECT_NE(Spin(PANEL_REFTOP)->toolTip().indexOf("refTOP - full packet word 4"), -1);
    EXPECT_EQ(Line(), "2 changes not sent\nEEPROM not read");
    SetCtrlVal(panelHandle, PANEL_TRIGBOT, 1500u);
    EXPECT_EQ(Spin(PANEL_TRIGBOT)->suffix(), " !") << "kept, not clipped, and flagged";
    EXPECT_NE(Spin(PANEL_TRIGBOT)->toolTip().indexOf("Above the usual 0..1000"), -1);
    EXPECT_EQ(CtrlValue(PANEL_TRIGBOT), 1500u);
    SetCtrlVal(panelHandle, PANEL_TRIGBOT, 950u);

    Press(CC_BTNSend, PANEL_BTNSEND);
    EXPECT_FALSE(Marked(PANEL_REFTOP));
    EXPECT_EQ(Line(), "Panel = controller RAM\nEEPROM not read");
    EXPECT_EQ(TakeStatusHistory().back(), "Parameters sent to RAM");
}

TEST_F(ParamTruthTest, RamOnlySendIsNotStoredUntilSentToEeprom) {
    SelectTarget(PANEL_RBTEEPROM, CC_RBTEeprom);
    Press(CC_BTNGet, PANEL_BTNGET);
    EXPECT_EQ(Line(), "Panel = controller RAM\nRAM = EEPROM - stored for power-off");
    SelectTarget(PANEL_RBTRAM, CC_RBTRam);
    SetCtrlVal(panelHandle, PANEL_TOLTOP, 61u);
    SetCtrlVal(panelHandle, PANEL_TOLBOT, 62u);
    Press(CC_BTNSend, PANEL_BTNSEND);
    EXPECT_EQ(Line(),
              "Panel = controller RAM\nRAM differs from EEPROM in 2 parameters - not "
              "stored for power-off");
    SelectTarget(PANEL_RBTEEPROM, CC_RBTEeprom);
    Press(CC_BTNSend, PANEL_BTNSEND);
    ASSERT_EQ(asked.size(), 1u) << "Send to EEPROM asks first";
    EXPECT_NE(asked[0].text.find("tolTOP 50 -> 61\ntolBOT 50 -> 62"), std::string::npos);
    EXPECT_EQ(Line(), "Panel = controller RAM\nRAM = EEPROM - stored for power-off");
    EXPECT_EQ(TakeStatusHistory().back(), "Parameters sent to EEPROM");
}

TEST_F(ParamTruthTest, CancelledQuestionsKeepTheEditsAndSendNothing) {
    answer = ANSWER_CANCEL;
    SetCtrlVal(panelHandle, PANEL_POWERTOP, 321u);
    const struct {
        const char* name;
        std::function<void()> command;
        const char* shown;
    } cases[] = {
        {"Get", [this] { Press(CC_BTNGet, PANEL_BTNGET); }, "Get cancelled - panel unchanged"},
        {"Get from file", [] { LoadParameterFile(); }, "Loading cancelled - panel unchanged"},
        {"Teach", [this] { Press(CC_ButtonTeach, PANEL_BUTTONTEACH); },
         "Teach cancelled - nothing sent"},
        {"Reset", [this] { Press(CC_ButtonReset, PANEL_BUTTONRESET); },
         "Reset cancelled - nothing sent"},
        {"another port",
         [] {
             InsertListItem(panelHandle, PANEL_DROPDCOM, -1, "COM1", 1);
             InsertListItem(panelHandle, PANEL_DROPDCOM, -1, "COM2", 2);
             SetCtrlVal(panelHandle, PANEL_DROPDCOM, 2);
             CC_DropDCom(panelHandle, PANEL_DROPDCOM, EVENT_COMMIT, nullptr, 0, 0);
         },
         "Port change cancelled - unsent changes kept"},
    };
    for (const auto& c : cases) {
        asked.clear();
        const size_t sent = controller.requests().size();
        c.command();
        EXPECT_EQ(asked.size(), 1u) << c.name;
        EXPECT_EQ(controller.requests().size(), sent) << c.name << ": nothing goes out";
        EXPECT_EQ(CtrlValue(PANEL_POWERTOP), 321u) << c.name;
        EXPECT_EQ(StatusText(), c.shown) << c.name;
    }
    int port = 0;
    GetCtrlVal(panelHandle, PANEL_DROPDCOM, &port);
    EXPECT_EQ(port, com);

    answer = ANSWER_CONFIRM;
    asked.clear();
    Press(CC_BTNGet, PANEL_BTNGET);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].text.find("powerTOP 500 -> 321"), std::string::npos);
    EXPECT_EQ(CtrlValue(PANEL_POWERTOP), 500u) << "discarded for the controller's value";
}

TEST_F(ParamTruthTest, TeachShowsTheRereadReferenceAndTheNextSendKeepsIt) {
    const unsigned int before = CtrlValue(PANEL_REFTOP);
    Press(CC_ButtonTeach, PANEL_BUTTONTEACH);
    const unsigned int taught = controller.model().refTop();
    ASSERT_NE(taught, before);
    EXPECT_EQ(CtrlValue(PANEL_REFTOP), taught);
    EXPECT_EQ(
        Line()
            .substr(0, Line().find('\n'))
            .find("Taught: refTOP " + std::to_string(before) + " -> " + std::to_string(taught)),
        0u);
    controller.clearRequests();
    Press(CC_BTNSend, PANEL_BTNSEND);
    ASSERT_FALSE(controller.requests().empty());
    EXPECT_EQ(controller.requests()[0].payload[4], taught) << "Send no longer undoes the Teach";
}

TEST_F(ParamTruthTest, ResetShowsTheEepromSetAndAFailedRereadSaysSo) {
    controller.model().eeprom[0][1] = 808;
    controller.model().eeprom[1][3] = 250;
    SelectTarget(PANEL_RBTEEPROM, CC_RBTEeprom);
    Press(CC_BTNGet, PANEL_BTNGET);
    SelectTarget(PANEL_RBTRAM, CC_RBTRam);
    Press(CC_BTNGet, PANEL_BTNGET);
    asked.clear();
    Press(CC_ButtonReset, PANEL_BUTTONRESET);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].text.find("powerTOP 500 -> 808"), std::string::npos);
    EXPECT_EQ(CtrlValue(PANEL_POWERTOP), 808u);
    EXPECT_EQ(CtrlValue(PANEL_HOLD), 250u) << "the short packet from the EEPROM set";
    EXPECT_EQ(Line(),
              "Reset: RAM = EEPROM set; powerTOP 500 -> 808, hold 100 -> 250\n"
              "Panel = controller RAM\nRAM = EEPROM - stored for power-off");

    controller.model().faults.ignoredOrders = {ORDER_READ_RAM};
    SetCtrlVal(panelHandle, PANEL_REFTOP, 555u);
    Press(CC_ButtonTeach, PANEL_BUTTONTEACH);
    EXPECT_EQ(CtrlValue(PANEL_REFTOP), 555u) << "the panel keeps its values";
    EXPECT_EQ(Line(),
              "Teach sent - reread failed: the panel may no longer match the "
              "controller\nController RAM not known - Get reads it");
}

TEST_F(ParamTruthTest, DoNotAskAgainIsRememberedAndUndoneFromTheMenu) {
    tickDoNotAsk = true;
    Press(CC_ButtonTeach, PANEL_BUTTONTEACH);
    tickDoNotAsk = false;
    Press(CC_ButtonTeach, PANEL_BUTTONTEACH);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_TRUE(OpenSettings()->value(QStringLiteral("confirm/skipTeach")).toBool());
    for (const char* key : {"confirm/skipEeprom", "confirm/skipTeach", "confirm/skipReset"})
        OpenSettings()->remove(QLatin1String(key));
    Press(CC_ButtonTeach, PANEL_BUTTONTEACH);
    EXPECT_EQ(asked.size(), 2u);
}

TEST_F(ParamTruthTest, ClosingWithUnsentChangesAsksAndCanSend) {
    SetCtrlVal(panelHandle, PANEL_TRIGTOP, 900u);
    answer = ANSWER_CANCEL;
    EXPECT_FALSE(MayCloseWithUnsentChanges());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].offerSend);
    answer = ANSWER_SEND;
    const size_t before = controller.requests().size();
    EXPECT_TRUE(MayCloseWithUnsentChanges());
    EXPECT_EQ(OrdersAfter(before), (std::vector<int>{ORDER_WRITE_RAM, ORDER_WRITE_RAM}));
    asked.clear();
    EXPECT_TRUE(MayCloseWithUnsentChanges()) << "nothing unsent: no question";
    EXPECT_TRUE(asked.empty());
}

TEST_F(ParamTruthTest, FailedStartUpReadKeepsTheNotReadLineThroughLaterCommands) {
    CloseCom(com);
    controller.model().faults.ignoredOrders = {ORDER_READ_RAM};
    InitVars();
    EXPECT_EQ(InitRS232(com), 0);
    const std::string notRead = "Values not read from the controller (panel defaults)";
    EXPECT_EQ(Line(), notRead);
    SetCtrlVal(panelHandle, PANEL_REFBOT, 480u);
    EXPECT_EQ(Line(), notRead);
    EXPECT_TRUE(Marked(PANEL_REFBOT)) << "an edit is marked even with RAM not known";
    Press(CC_BTNGet, PANEL_BTNGET);
    Press(CC_ButtonTeach, PANEL_BUTTONTEACH);
    EXPECT_NE(StatusText(), notRead);
    EXPECT_EQ(Line().substr(Line().rfind('\n') + 1), notRead);
}

TEST_F(ParamTruthTest, FileTextsNameTheFileAsItIsSpelt) {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QString::fromUtf8("Prüfung.dat")).toStdString();
    SetFileSelectHook([&](const std::string&, const std::string&, std::string& chosen) {
        chosen = path;
        return 1;
    });
    SaveParameterFile();
    EXPECT_EQ(StatusText(), "Parameters saved to " + path);
    LoadParameterFile();
    EXPECT_EQ(StatusText(), "Parameters loaded from " + path);
    SetFileSelectHook({});
}

TEST_F(ParamTruthTest, TheRealMessageBoxConfirmsOnEnterAndCancelsOnEscape) {
    SetQuestionHook({});
    DisplayPanel(panelHandle);
    SelectTarget(PANEL_RBTEEPROM, CC_RBTEeprom);
    for (const auto key : {Qt::Key_Escape, Qt::Key_Return}) {
        QString shown;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            shown = qobject_cast<QMessageBox*>(box)->informativeText();
            QTest::keyClick(box, key);
        });
        controller.clearRequests();
        Press(CC_BTNSend, PANEL_BTNSEND);
        EXPECT_TRUE(shown.startsWith("EEPROM content not known")) << shown.toStdString();
        EXPECT_EQ(controller.orders().size(), key == Qt::Key_Escape ? 0u : 2u);
    }
}
