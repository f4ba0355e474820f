#include "console/report_command.h"

#include <QAction>
#include <QMenu>
#include <ctime>
#include <string>

#include "console/export_dialog.h"
#include "console/menus.h"
#include "console/service_report_file.h"
#include "resources/status_line.h"

namespace kervano {

namespace {
void SaveServiceReport() {
    const std::string path =
        AskExportFile("Service report", DefaultName("report", std::time(nullptr), ".html"),
                      "*.html;*.pdf");
    if (path.empty()) return;
    ShowStatus("Writing service report ...");
    std::string error;
    if (!WriteServiceReport(path, &error)) {
        ShowStatus(("Cannot write " + path + " - " + error + " - file unchanged!").c_str());
        return;
    }
    ShowStatus(("Service report written to " + path).c_str());
}
}  // namespace

void InstallReportCommand() {
    QMenu* file = PanelMenu(MENU_FILE);
    if (file == nullptr) return;
    auto* action = new QAction(QStringLiteral("Service &report..."), file);
    action->setObjectName(QStringLiteral("actionServiceReport"));
    AddPanelMenuAction(MENU_FILE, action);
    QObject::connect(action, &QAction::triggered, [] { SaveServiceReport(); });
}

}  // namespace kervano
