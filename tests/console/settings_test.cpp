// What the tool remembers: the whole program run twice against the emulator (the port by its
// device path, the display mode, the window, the parameter folder, a network port added from
// the selector), and where the parameter dialog opens. Every test keeps its settings in a file of
// its own.
#include "console/settings.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <string>

#include "console/startup.h"
#include "console/status_history.h"
#include "console/traffic_pane.h"
#include "link/link_state.h"
#include "link/port_setup.h"
#include "params/param_file.h"
#include "params/transfer_commands.h"
#include "platform/serial/port_table.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "sim/pty_server.h"
#include "tests/support/app/run_program.h"
#include "tests/support/scoped_env.h"
#include "tests/support/ser2net_server.h"
#include "tests/support/sim_controller.h"

using namespace kervano;

namespace {

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        SetComService(&line);
        // Two adapters "plugged in": the system lists them, no hardware needed.
        PortTableSetScan([] {
            return std::vector<PortEntry>{{0, "/dev/ttyKV0", "first adapter"},
                                          {0, "/dev/ttyKV1", "second adapter"}};
        });
    }
    void TearDown() override {
        SetFileSelectHook({});
        PortTableSetScan({});
        PortTableClearPins();
        SetComService(nullptr);
    }
    // The program's whole life, as a fresh process would start it.
    void RunOnce(const std::function<void()>& whileRunning) {
        PortTableClearPins();
        ASSERT_EQ(RunProgram(whileRunning), 0);
    }
    // The folder the parameter dialog proposes (it is cancelled).
    std::string DialogFolder() {
        std::string proposed;
        SetFileSelectHook([&](const std::string&, const std::string& path, std::string&) {
            proposed = path;
            return 0;
        });
        LoadParameterFile();
        SetFileSelectHook({});
        return QFileInfo(QString::fromStdString(proposed)).path().toStdString();
    }

    QTemporaryDir dir;
    ScopedEnv store{kSettingsFileVariable, dir.filePath(QStringLiteral("settings.ini")).toUtf8()};
    SimLine line;
    SimController controller{line};
};

QWidget* Panel() {
    return PanelWidget(panelHandle);
}

QComboBox* PortSelector() {
    return qobject_cast<QComboBox*>(CtrlWidget(panelHandle, PANEL_DROPDCOM));
}

// The operator picks "Add network port..." and answers its question with address (or
// cancels it when address is null).
void AddNetworkPort(const char* address) {
    WhilePanelLater(50, [address] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr) << "no address asked for";
        if (address == nullptr) {
            dialog->reject();
            return;
        }
        dialog->setTextValue(QString::fromLatin1(address));
        dialog->accept();
    });
    QComboBox* selector = PortSelector();
    selector->setFocus();
    QTest::keyClick(selector, Qt::Key_End);  // the last item
}

std::string SelectedLabel() {
    return PortSelector()->currentText().toStdString();
}

}  // namespace

TEST_F(SettingsTest, RestartRestoresPortModeWindowFoldersAndTrafficPane) {
    const QString folder = dir.filePath(QStringLiteral("parameters"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QRect window(40, 30, 700, 520);
    QRect saved;
    RunOnce([&] {
        EXPECT_EQ(PortTableDevice(1), "/dev/ttyKV0") << "nothing remembered yet";
        auto* selector = qobject_cast<QComboBox*>(CtrlWidget(panelHandle, PANEL_DROPDCOM));
        selector->setFocus();
        QTest::keyClick(selector, Qt::Key_Down);  // the operator picks COM2
        ASSERT_EQ(com, 2);
        Panel()->findChild<QAction*>(QStringLiteral("actionViewMode2"))->trigger();
        Panel()->setGeometry(window);
        SetFileSelectHook([&](const std::string&, const std::string&, std::string& chosen) {
            chosen = QDir(folder).filePath(QStringLiteral("kept.dat")).toStdString();
            return 1;
        });
        SaveParameterFile();
        SetFileSelectHook([&](const std::string&, const std::string&, std::string& chosen) {
            chosen = dir.filePath(QStringLiteral("charts.png")).toStdString();
            return 1;
        });
        Panel()->findChild<QAction*>(QStringLiteral("actionSaveChartsPng"))->trigger();
        Panel()->findChild<QAction*>(QStringLiteral("actionTraffic"))->setChecked(true);
        saved = Panel()->geometry();  // the docked pane may have made it taller
    });

    std::string com1;
    unsigned short mode = 0;
    QRect restored;
    std::string dialogFolder;
    std::string exportFolder;
    bool trafficShown = false;
    RunOnce([&] {
        com1 = PortTableDevice(1);
        GetCtrlVal(panelHandle, PANEL_VIEWMODE, &mode);
        restored = Panel()->geometry();
        dialogFolder = DialogFolder();
        trafficShown = TrafficPane() != nullptr && TrafficPane()->isVisible();
        SetFileSelectHook([&](const std::string&, const std::string& proposed, std::string&) {
            exportFolder = QFileInfo(QString::fromStdString(proposed)).path().toStdString();
            return 0;
        });
        Panel()->findChild<QAction*>(QStringLiteral("actionSaveChartsPng"))->trigger();
    });
    EXPECT_EQ(com1, "/dev/ttyKV1") << "the remembered device is COM1, which start-up opens";
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(restored, saved);
    EXPECT_EQ(restored.topLeft(), window.topLeft());
    EXPECT_EQ(dialogFolder, folder.toStdString());
    EXPECT_EQ(exportFolder, QDir(dir.path()).absolutePath().toStdString());
    EXPECT_TRUE(trafficShown);
}

TEST_F(SettingsTest, RememberedPortGivesWayToPinsAndToItsAbsence) {
    RunOnce([] {
        auto* selector = qobject_cast<QComboBox*>(CtrlWidget(panelHandle, PANEL_DROPDCOM));
        selector->setFocus();
        QTest::keyClick(selector, Qt::Key_Down);
    });

    std::string com1;
    // A --port pin: numbering as without memory.
    PortTableClearPins();
    PortTablePin(5, "/dev/pts/55");
    ASSERT_EQ(RunProgram([&] { com1 = PortTableDevice(1); }), 0);
    EXPECT_EQ(com1, "/dev/ttyKV0");

    // The remembered adapter unplugged.
    PortTableSetScan([] { return std::vector<PortEntry>{{0, "/dev/ttyKV0", "first adapter"}}; });
    RunOnce([&] { com1 = PortTableDevice(1); });
    EXPECT_EQ(com1, "/dev/ttyKV0");
}

TEST_F(SettingsTest, ParameterDialogNeverOpensInASystemFolder) {
    QTemporaryDir home, program, remembered;
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Documents")));
    const std::string documents =
        QDir(home.path()).filePath(QStringLiteral("Documents")).toStdString();
    ScopedEnv homeEnv("HOME", home.path().toUtf8());
    ScopedEnv xdgEnv("XDG_CONFIG_HOME", home.filePath(QStringLiteral(".config")).toUtf8());

    struct Case {
        const char* what;
        std::string rememberedFolder;  // "" for none
        std::string programFolder;
        std::string expected;
    };
    const std::string gone = remembered.filePath(QStringLiteral("gone")).toStdString();
    const Case cases[] = {
        {"remembered folder", remembered.path().toStdString(), program.path().toStdString(),
         remembered.path().toStdString()},
        {"writable program folder", "", program.path().toStdString(), program.path().toStdString()},
        {"remembered folder deleted", gone, program.path().toStdString(),
         program.path().toStdString()},
        {"installed program", "", "/usr/bin", documents},
        {"program folder missing", "", gone, documents},
    };
    int n = 0;
    for (const Case& c : cases) {
        ScopedEnv fresh(kSettingsFileVariable,
                        dir.filePath(QStringLiteral("case%1.ini").arg(n++)).toUtf8());
        if (!c.rememberedFolder.empty())
            RememberParamFile((c.rememberedFolder + "/CONpara.dat").c_str());
        std::strcpy(proj_dir, c.programFolder.c_str());
        EXPECT_EQ(DialogFolder(), c.expected) << c.what;
    }
}

// A device server's address added from the selector: the link comes up through it (the real
// ser2net, the emulator on a pty behind it), and the next start lists it again. A cancel or
// an address that is none leaves the port in use.
TEST_F(SettingsTest, NetworkPortAddedFromTheSelectorIsUsedAndListedAtTheNextStart) {
    sim::PtyServer emulator{{}, 19200};
    const std::string device = emulator.startPty();
    ASSERT_FALSE(device.empty());
    Ser2netServer server(device, true);
    ASSERT_TRUE(server.start());
    const std::string address = server.address();
    SetComService(nullptr);  // the real serial service, network ports included

    int used = 0;
    int setUps = -1;  // port set-ups from the start of the first question on
    bool answering = false;
    std::string cancelled, refused, refusedText, added, addedText;
    RunOnce([&] {
        const int before = com;
        ClearStatusHistory();
        AddNetworkPort(nullptr);
        cancelled = com == before ? SelectedLabel() : "port changed";
        AddNetworkPort("tcp://no-port-given");
        refused = com == before ? SelectedLabel() : "port changed";
        refusedText = StatusLineText();
        AddNetworkPort(address.c_str());
        used = com;
        added = SelectedLabel();
        answering = linkState == LINK_ANSWERING;
        addedText = StatusLineText();
        setUps = static_cast<int>(std::count_if(
            StatusHistory().begin(), StatusHistory().end(),
            [](const StatusHistoryEntry& entry) { return entry.text == "Init COM-Port ..."; }));
    });
    EXPECT_EQ(cancelled.rfind("COM1", 0), 0u) << cancelled;
    EXPECT_EQ(refused.rfind("COM1", 0), 0u) << refused;
    EXPECT_EQ(refusedText.rfind("Network port not added: ", 0), 0u) << refusedText;
    EXPECT_GT(used, 2) << "a COM number of its own, after the adapters";
    EXPECT_NE(added.find(address), std::string::npos) << added;
    EXPECT_EQ(setUps, 1) << "only the added port is set up, once";
    EXPECT_TRUE(answering) << addedText;
    EXPECT_EQ(addedText.find("Timeout"), std::string::npos) << addedText;

    std::vector<std::string> listed;
    RunOnce([&] {
        for (int i = 0; i < PortSelector()->count(); ++i)
            listed.push_back(PortSelector()->itemText(i).toStdString());
    });
    EXPECT_NE(std::find_if(listed.begin(), listed.end(),
                           [&](const std::string& label) {
                               return label.find(address) != std::string::npos;
                           }),
              listed.end())
        << "remembered for the next start";
}
