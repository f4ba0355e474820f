#include "console/compare_command.h"

#include <QAction>
#include <QKeySequence>
#include <QWidget>

#include "console/compare_enabled.h"
#include "console/compare_sources.h"
#include "console/compare_window.h"
#include "console/menus.h"
#include "console/startup.h"
#include "platform/ui/qt_panel_access.h"

namespace kervano {

void CompareWithController() {
    // The reads let the event loop run while they wait, so the key may come again.
    static bool reading = false;
    if (reading) return;
    reading = true;
    CompareColumn ram, eeprom;
    ReadControllerColumns(ram, eeprom);
    reading = false;
    ShowCompareWindow(ram, eeprom, [] { CompareWithController(); });
}

void InstallCompareCommand() {
    QWidget* panel = PanelWidget(panelHandle);
    if (panel == nullptr || PanelMenu(MENU_CONTROLLER) == nullptr) return;
    auto* separator = new QAction(panel);
    separator->setSeparator(true);
    AddPanelMenuAction(MENU_CONTROLLER, separator);

    auto* action = new QAction(QStringLiteral("&Compare..."), panel);
    action->setObjectName(QStringLiteral("actionCompare"));
    action->setShortcut(QKeySequence(Qt::Key_F7));
    QObject::connect(action, &QAction::triggered, [] { CompareWithController(); });
    FollowGetButton(action);
    AddPanelMenuAction(MENU_CONTROLLER, action);
}

}  // namespace kervano
