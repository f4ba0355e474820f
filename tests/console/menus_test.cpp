// The menu bar and its shortcuts on the real panel, against the emulator on the simulated
// line: every command reaches the button's callback, dimmed frames dim their items, the
// View items follow the selector, and File works on parameter files whatever the target.
#include "console/menus.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "console/commands.h"
#include "console/startup.h"
#include "link/frame.h"
#include "link/port_setup.h"
#include "params/param_file.h"
#include "params/param_set.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "scope/monitor.h"
#include "tests/support/app/panel_fixture.h"
#include "tests/support/read_text.h"

using namespace kervano;

namespace {

class MenusTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        InstallPanelMenus();
        OpenLine();
        panel = PanelWidget(panelHandle);
        DisplayPanel(panelHandle);
        ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    }
    void TearDown() override {
        SetFileSelectHook({});
        PanelFixture::TearDown();
    }
    QAction* Action(const char* name) const {
        return panel->findChild<QAction*>(QString::fromLatin1(name));
    }
    // A key pressed while the focus is in a parameter field: the shortcuts belong to the
    // whole window.
    void Key(QKeySequence key) {
        CtrlWidget(panelHandle, PANEL_REFTOP)->setFocus();
        QTest::keySequence(QApplication::focusWidget(), key);
    }
    int Count(int order) const {
        const auto o = controller.orders();
        return static_cast<int>(std::count(o.begin(), o.end(), order));
    }
    bool HistoryEmpty() const {
        return std::all_of(arrayRAWTOP, arrayRAWTOP + kHistoryValues,
                           [](double v) { return v == 0; });
    }

    QWidget* panel = nullptr;
};

}  // namespace

TEST_F(MenusTest, FunctionKeysCaptureRunAndStop) {
    Key(QKeySequence(Qt::Key_F6));
    EXPECT_EQ(controller.orders(),
              (std::vector<int>{ORDER_MONITOR, ORDER_DATA, ORDER_DATA, ORDER_DATA, ORDER_DATA}));
    EXPECT_EQ(StatusText(), "Data[64] block received!");
    EXPECT_TRUE(IsVisible(PANEL_GRAPHTOP));

    for (const QKeySequence& stop :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::SHIFT | Qt::Key_F5)}) {
        controller.clearRequests();
        line.at(line.now() + 0.3, [&] { Key(stop); });
        Key(QKeySequence(Qt::Key_F5));  // returns when the loop has ended
        EXPECT_GT(Count(ORDER_MONITOR), 5) << stop.toString().toStdString();
        EXPECT_TRUE(HistoryEmpty()) << "only Stop clears the history";
        EXPECT_FALSE(IsDimmed(PANEL_DATALOCK)) << "only Stop frees the parameter frame";
        EXPECT_EQ(stop_flag, 1);
    }
}

// A menu opened from the keyboard and closed with Escape leaves the bar holding the keyboard;
// the next Escape is still Stop, at the first press, wherever the menu was opened from.
TEST_F(MenusTest, EscapeStopsTheRunAtOnceAfterAMenuWasClosedWithEscape) {
    for (Qt::Key menu : {Qt::Key_C, Qt::Key_V, Qt::Key_F}) {
        controller.clearRequests();
        int monitorAtStop = -1;
        line.at(line.now() + 0.3, [&] {
            QTest::keyClick(panel, menu, Qt::AltModifier);
            ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget(); }));
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
            ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            monitorAtStop = Count(ORDER_MONITOR);
        });
        line.at(line.now() + 1.5, [] {  // ends a run the keys did not stop
            CC_BTNStop(panelHandle, PANEL_BTNSTOP, EVENT_COMMIT, nullptr, 0, 0);
        });
        Key(QKeySequence(Qt::Key_F5));  // returns when the loop has ended
        EXPECT_EQ(Count(ORDER_MONITOR), monitorAtStop) << "stopped by the first Escape";
        EXPECT_TRUE(HistoryEmpty()) << "Stop ran";
        // The offscreen platform leaves the closed menu the active window.
        panel->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == panel; }));
    }
}

TEST_F(MenusTest, ControllerItemsGoThroughTheButtonsCallbacksAsTheKeyboardDoes) {
    struct Case {
        const char* action;
        std::vector<int> orders;
        std::vector<std::string> status;  // a commit only: no press texts
    };
    const Case cases[] = {
        {"actionGet",
         {ORDER_READ_RAM, ORDER_READ_RAM},
         {"Waiting for parameter-frame ...", "Parameter-frame received! - Line Ok!",
          "Waiting for parameter-frame ...", "Parameter-frame received! - Line Ok!",
          "Parameters read from RAM"}},
        {"actionSend",
         {ORDER_WRITE_RAM, ORDER_WRITE_RAM},
         {"Transmit...", "Transmit para1 Ok!", "Transmit para Ok!", "Parameters sent to RAM"}},
        {"actionTeach",
         {ORDER_TEACH, ORDER_READ_RAM},
         {"Line Ok!", "New setpoint value teached!", "Waiting for parameter-frame ...",
          "Parameter-frame received! - Line Ok!"}},
        {"actionReset",
         {ORDER_RESET, ORDER_READ_RAM},
         {"Line Ok!", "Waiting for parameter-frame ...", "Parameter-frame received! - Line Ok!"}},
    };
    for (const Case& c : cases) {
        controller.clearRequests();
        TakeStatusHistory();
        ASSERT_NE(Action(c.action), nullptr) << c.action;
        Action(c.action)->trigger();
        EXPECT_EQ(controller.orders(), c.orders) << c.action;
        EXPECT_EQ(TakeStatusHistory(), c.status) << c.action;
    }

    // The keyboard alone: Alt+C opens the Controller menu, G picks Get.
    controller.clearRequests();
    QTest::keyClick(panel, Qt::Key_C, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_G);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Count(ORDER_READ_RAM) == 2; }));
}

TEST_F(MenusTest, DimmedFramesDimTheirItemsAndSilenceTheirShortcuts) {
    const char* const runFrame[] = {"actionRun", "actionData"};
    const char* const parameterFrame[] = {"actionSend",           "actionGet",
                                          "actionTeach",          "actionReset",
                                          "actionOpenParameters", "actionSaveParameters"};
    SetCtrlAttribute(panelHandle, PANEL_RUNLOCK, ATTR_DIMMED, 1);
    SetCtrlAttribute(panelHandle, PANEL_DATALOCK, ATTR_DIMMED, 1);
    for (const char* name : runFrame) EXPECT_FALSE(Action(name)->isEnabled()) << name;
    for (const char* name : parameterFrame) EXPECT_FALSE(Action(name)->isEnabled()) << name;
    EXPECT_TRUE(Action("actionStop")->isEnabled());
    Key(QKeySequence(Qt::Key_F5));
    Key(QKeySequence(Qt::Key_F6));
    EXPECT_TRUE(controller.orders().empty()) << "a dimmed command's shortcut does nothing";

    SetCtrlAttribute(panelHandle, PANEL_RUNLOCK, ATTR_DIMMED, 0);
    for (const char* name : runFrame) EXPECT_TRUE(Action(name)->isEnabled()) << name;
    for (const char* name : parameterFrame) EXPECT_FALSE(Action(name)->isEnabled()) << name;

    // Run dims both frames for its whole length; Stop frees them.
    bool dimmedWhileRunning = false;
    line.at(line.now() + 0.2, [&] {
        dimmedWhileRunning = !Action("actionRun")->isEnabled() && !Action("actionGet")->isEnabled();
        Key(QKeySequence(Qt::Key_F5));  // ignored: Run is dimmed
        Key(QKeySequence(Qt::Key_Escape));
    });
    Key(QKeySequence(Qt::Key_F5));
    EXPECT_TRUE(dimmedWhileRunning);
    for (const char* name : parameterFrame) EXPECT_TRUE(Action(name)->isEnabled()) << name;
}

TEST_F(MenusTest, ViewItemsAndTheSelectorStayInStep) {
    auto* selector = qobject_cast<QComboBox*>(CtrlWidget(panelHandle, PANEL_VIEWMODE));
    ASSERT_NE(selector, nullptr);
    EXPECT_TRUE(Action("actionViewMode0")->isChecked());
    Action("actionViewMode2")->trigger();
    EXPECT_EQ(CtrlValue(PANEL_VIEWMODE), 2u);
    Key(QKeySequence(QStringLiteral("Ctrl+2")));
    EXPECT_EQ(CtrlValue(PANEL_VIEWMODE), 1u);
    EXPECT_TRUE(Action("actionViewMode1")->isChecked());

    selector->setFocus();
    QTest::keyClick(selector, Qt::Key_Up);  // the operator on the selector
    EXPECT_EQ(CtrlValue(PANEL_VIEWMODE), 0u);
    EXPECT_TRUE(Action("actionViewMode0")->isChecked());
    EXPECT_FALSE(Action("actionViewMode1")->isChecked());

    // Status history is the button beside the status line.
    auto* history = panel->findChild<QAbstractButton*>(QStringLiteral("statusHistoryButton"));
    ASSERT_NE(history, nullptr);
    int clicks = 0;
    QObject::connect(history, &QAbstractButton::clicked, [&] { ++clicks; });
    Key(QKeySequence(QStringLiteral("Ctrl+H")));
    EXPECT_EQ(clicks, 1);
}

TEST_F(MenusTest, FileItemsUseTheParameterFileWhateverTheTarget) {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("menu.dat")).toStdString();
    SetFileSelectHook([&](const std::string&, const std::string&, std::string& chosen) {
        chosen = path;
        return 1;
    });
    SetCtrlVal(panelHandle, PANEL_REFTOP, 777u);
    Action("actionSaveParameters")->trigger();
    EXPECT_EQ(TakeStatusHistory(),
              (std::vector<std::string>{"Transmit...", "Parameters saved to " + path}));
    EXPECT_NE(ReadText(path).find(" 777\n"), std::string::npos);

    SetCtrlVal(panelHandle, PANEL_REFTOP, 1u);
    Key(QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(CtrlValue(PANEL_REFTOP), 777u);
    EXPECT_EQ(refTOP, 777);

    std::ofstream(path) << "not parameters\n";
    Action("actionOpenParameters")->trigger();
    EXPECT_EQ(StatusText(), "Not a parameter file (16 numbers expected) - nothing loaded!");

    EXPECT_TRUE(controller.orders().empty()) << "nothing goes on the line";
    EXPECT_EQ(target, RAM);
    EXPECT_EQ(CtrlValue(PANEL_RBTRAM), 1u);
    EXPECT_EQ(CtrlValue(PANEL_RBTFILE), 0u);
}

TEST_F(MenusTest, QuitDoesWhatClosingTheWindowDoes) {
    QTimer::singleShot(0, [&] { QTest::keyClick(panel, Qt::Key_Q, Qt::ControlModifier); });
    RunUserInterface();  // returns once Quit has ended the event loop
    EXPECT_EQ(stop_flag, 1);
    EXPECT_FALSE(line.isOpen(com));
    EXPECT_TRUE(panel->isVisible()) << "the program discards it after the event loop";
}

TEST_F(MenusTest, HelpShowsVersionQtLicenceAndEveryShortcut) {
    Action("actionAbout")->trigger();
    auto* about = panel->findChild<QDialog*>(QStringLiteral("aboutBox"));
    ASSERT_NE(about, nullptr);
    const QString heading = about->findChild<QLabel*>(QStringLiteral("aboutText"))->text();
    EXPECT_TRUE(heading.contains(QLatin1String("kervano-scope 1.31")));
    EXPECT_TRUE(heading.contains(QLatin1String(qVersion())));
    const QString licence = about->findChild<QPlainTextEdit*>()->toPlainText();
    EXPECT_TRUE(licence.startsWith(QLatin1String("MIT License")));
    EXPECT_TRUE(licence.contains(QLatin1String("Copyright (c) 2026 the kervano-scope developers")));
    EXPECT_TRUE(about->findChild<QLabel*>(QStringLiteral("qtLicenceText"))
                    ->text()
                    .contains(QLatin1String("LGPL")));
    about->close();

    Key(QKeySequence(Qt::Key_F1));
    auto* list = panel->findChild<QTableWidget*>(QStringLiteral("shortcutTable"));
    ASSERT_NE(list, nullptr);
    std::map<std::string, std::string> rows;
    for (int r = 0; r < list->rowCount(); ++r)
        rows[list->item(r, 0)->text().toStdString()] = list->item(r, 1)->text().toStdString();
    EXPECT_EQ(rows["F5"], "Controller > Run");
    EXPECT_EQ(rows["Esc, Shift+F5"], "Controller > Stop");
    EXPECT_EQ(rows["F6"], "Controller > Data");
    EXPECT_EQ(rows["Ctrl+Q"], "File > Quit");
    EXPECT_EQ(rows["Alt+C"], "Controller menu");
    EXPECT_EQ(rows["Alt+N"], "Send button") << "the buttons' mnemonics";
    EXPECT_EQ(rows["Alt+E"], "Reset button");
}

TEST_F(MenusTest, LaterFeaturesAddTheirCommandsToTheMenus) {
    auto* exportAction = new QAction(QStringLiteral("&Export..."), PanelMenu(MENU_FILE));
    exportAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    int exported = 0;
    QObject::connect(exportAction, &QAction::triggered, [&] { ++exported; });
    AddPanelMenuAction(MENU_FILE, exportAction);
    const QList<QAction*> file = PanelMenu(MENU_FILE)->actions();
    ASSERT_GE(file.size(), 3);
    EXPECT_EQ(file[file.size() - 3], exportAction) << "above the separator and Quit";
    Key(QKeySequence(QStringLiteral("Ctrl+E")));
    EXPECT_EQ(exported, 1);
}
