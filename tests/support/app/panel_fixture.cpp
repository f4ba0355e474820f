#include "tests/support/app/panel_fixture.h"

#include <QLineEdit>
#include <QObject>
#include <QTimer>

#include "console/param_questions.h"
#include "console/startup.h"
#include "link/port_setup.h"
#include "params/command_guard.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "tests/support/ui/ui_readback.h"

using namespace kervano;

void PanelFixture::SetUp() {
    // Whatever a test that ran before in this process left installed, commands here ask
    // nothing unless the test installs the questions itself.
    SetCommandGuard(nullptr);
    SetQuestionHook({});
    SetComService(&line);
    SetResourceNames(kPanelResourceNames, kPanelResourceNameCount);
    const char* resource = KV_SOURCE_DIR "/resources/KERVANO1trgV13.ui";
    panelHandle = LoadPanel(0, resource, PANEL);
    ASSERT_GT(panelHandle, 0);
    panelPopUp = LoadPanel(0, resource, POPUP);
    ASSERT_GT(panelPopUp, 0);
    InstallCallbacks();

    auto* status = qobject_cast<QLineEdit*>(CtrlWidget(panelHandle, PANEL_STATUS));
    ASSERT_NE(status, nullptr);
    QObject::connect(status, &QLineEdit::textChanged,
                     [this](const QString& text) { statusHistory.push_back(text.toStdString()); });
    InitVars();
    statusHistory.clear();
}

void PanelFixture::TearDown() {
    SetQuestionHook({});
    SetCommandGuard(nullptr);
    CloseCom(com);
    com = 1;  // the next test, or program, starts on the port the program starts on
    DiscardPanel(panelPopUp);
    DiscardPanel(panelHandle);
    panelHandle = panelPopUp = -1;
    SetComService(nullptr);
    // A close during the test asked the event loop to quit; let that request run out so
    // the next test's loop starts clean.
    QTimer quit;  // destroyed unfired when the loop returns at once
    quit.setSingleShot(true);
    QObject::connect(&quit, &QTimer::timeout, [] { QuitUserInterface(0); });
    quit.start(0);
    RunUserInterface();
}

void PanelFixture::OpenLine() {
    ASSERT_EQ(OpenComConfig(com, "", 19200, 0, 8, 1, 4096, 4096), 0);
    SetComTime(com, 2.0);
    InstallReceiveNotification();
}

std::vector<std::string> PanelFixture::TakeStatusHistory() {
    std::vector<std::string> out;
    out.swap(statusHistory);
    return out;
}

std::string PanelFixture::StatusText() const {
    char text[256] = "";
    GetCtrlVal(panelHandle, PANEL_STATUS, text, sizeof text);
    return text;
}

unsigned int PanelFixture::CtrlValue(int control) const {
    unsigned short value = 0;
    GetCtrlVal(panelHandle, control, &value);
    return value;
}

bool PanelFixture::IsVisible(int control) const {
    int visible = 0;
    GetCtrlAttribute(panelHandle, control, ATTR_VISIBLE, &visible);
    return visible != 0;
}

bool PanelFixture::IsDimmed(int control) const {
    int dimmed = 0;
    GetCtrlAttribute(panelHandle, control, ATTR_DIMMED, &dimmed);
    return dimmed != 0;
}
