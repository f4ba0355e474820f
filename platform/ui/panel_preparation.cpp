#include "platform/ui/panel_preparation.h"

#include <QImage>
#include <QLayout>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "platform/ui/panel_ui_loader.h"

namespace kvui {

namespace {

// Draws the parts one per pass of the event loop, so a reply that arrives meanwhile waits
// for one part at most, not for the whole panel.
void DrawParts(QPointer<QWidget> panel, std::shared_ptr<QList<QPointer<QWidget>>> parts) {
    if (!panel || panel->isVisible() || parts->isEmpty()) return;
    QPointer<QWidget> part = parts->takeFirst();
    if (part) {
        QImage scratch(part->size(), QImage::Format_ARGB32_Premultiplied);
        part->render(&scratch);
    }
    QTimer::singleShot(0, panel, [panel, parts] { DrawParts(panel, parts); });
}

}  // namespace

void PrepareBeforeShowing(QWidget* panel) {
    QTimer::singleShot(0, panel, [panel] {
        if (panel->isVisible()) return;
        panel->ensurePolished();
        if (QLayout* layout = panel->layout()) layout->activate();
        // The panel's own children (a menu bar) and the controls in its client area.
        auto parts = std::make_shared<QList<QPointer<QWidget>>>();
        QWidget* client = ClientArea(panel);
        QList<QWidget*> children =
            client->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        if (client != panel) {
            for (QWidget* child :
                 panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                if (!child->isAncestorOf(client)) children.prepend(child);
            }
        }
        for (QWidget* part : children) {
            if (part->isVisibleTo(panel)) parts->append(part);
        }
        QTimer::singleShot(0, panel, [panel, parts] { DrawParts(panel, parts); });
    });
}

}  // namespace kvui
