#include "tests/support/app/run_program.h"

#include <QTimer>
#include <QWidget>

#include "console/startup.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/userint.h"
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
    return WinMain(nullptr, nullptr, nullptr, 10);
}

std::string StatusLineText() {
    char text[128] = "";
    GetCtrlVal(kervano::panelHandle, PANEL_STATUS, text, sizeof text);
    return text;
}
