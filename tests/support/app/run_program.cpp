#include "tests/support/app/run_program.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <QWidget>

#include "console/command_line.h"
#include "console/headless.h"
#include "console/param_questions.h"
#include "console/startup.h"
#include "params/command_guard.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"

int RunProgram(const std::function<void()>& whileRunning) {
    using namespace kervano;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* panel = PanelWidget(panelHandle);
        if (panel == nullptr || !panel->isVisible()) return;
        poll.stop();
        whileRunning();
        CC_PANEL(panelHandle, EVENT_CLOSE, nullptr, 0, 0);
    });
    poll.start();
    // Every question is answered yes unless the test answers it itself, so no message box
    // ever waits for a click that no test gives.
    SetQuestionHook([](const Question&, bool&) { return ANSWER_CONFIRM; });
    const int code = WinMain(nullptr, nullptr, nullptr, 10);
    SetQuestionHook({});
    SetCommandGuard(nullptr);  // the program's questions end with the program
    return code;
}

int RunHeadlessMode(std::vector<std::string> args, std::string& out, std::string& errors) {
    args.insert(args.begin(), "kervano-scope");
    const kervano::CommandLine commandLine = kervano::ParseCommandLine(args);
    EXPECT_EQ(commandLine.error, "");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int code = kervano::RunHeadless(commandLine);
    out = testing::internal::GetCapturedStdout();
    errors = testing::internal::GetCapturedStderr();
    return code;
}

void ClickControl(int control) {
    QWidget* widget = CtrlWidget(kervano::panelHandle, control);
    if (widget != nullptr) QTest::mouseClick(widget, Qt::LeftButton);
}

void WhilePanelLater(int ms, const std::function<void()>& what) {
    QWidget* panel = PanelWidget(kervano::panelHandle);
    if (panel != nullptr) QTimer::singleShot(ms, panel, what);
}

std::string StatusLineText() {
    char text[128] = "";
    GetCtrlVal(kervano::panelHandle, PANEL_STATUS, text, sizeof text);
    return text;
}
