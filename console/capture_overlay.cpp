#include "console/capture_overlay.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <string>

#include "console/menus.h"
#include "console/open_capture.h"
#include "resources/status_line.h"
#include "scope/graph_overlay.h"
#include "scope/last_capture.h"

namespace kervano {

namespace {
QPointer<QAction>& ClearAction() {
    static QPointer<QAction> action;
    return action;
}

void Kept(bool kept) {
    if (ClearAction()) ClearAction()->setEnabled(kept);
}

void KeepShownCapture() {
    const CaptureRecord* shown = ShownFileCapture();
    if (shown == nullptr) shown = LastCapture();
    if (shown == nullptr) {
        ShowStatus("No capture to keep - press Data first!");
        return;
    }
    KeepOverlay(*shown);
    Kept(true);
    ShowStatus(("Overlay kept: " + OverlayName(*shown)).c_str());
}
}  // namespace

void InstallOverlayCommands() {
    QMenu* view = PanelMenu(MENU_VIEW);
    if (view == nullptr) return;
    auto* separator = new QAction(view);
    separator->setSeparator(true);
    AddPanelMenuAction(MENU_VIEW, separator);

    auto* keep = new QAction(QStringLiteral("&Keep as overlay"), view);
    keep->setObjectName(QStringLiteral("actionKeepOverlay"));
    QObject::connect(keep, &QAction::triggered, [] { KeepShownCapture(); });
    AddPanelMenuAction(MENU_VIEW, keep);

    ClearAction() = new QAction(QStringLiteral("C&lear overlay"), view);
    ClearAction()->setObjectName(QStringLiteral("actionClearOverlay"));
    QObject::connect(ClearAction(), &QAction::triggered, [] {
        ClearOverlay();
        Kept(false);
        ShowStatus("Overlay cleared");
    });
    AddPanelMenuAction(MENU_VIEW, ClearAction());
    Kept(KeptOverlay() != nullptr);
}

}  // namespace kervano
