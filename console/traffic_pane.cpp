#include "console/traffic_pane.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeySequence>
#include <QPointer>
#include <QScreen>
#include <algorithm>

#include "console/menus.h"
#include "console/startup.h"
#include "link/order_names.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/traffic_view.h"

namespace kervano {

namespace {

QPointer<kvui::TrafficView>& Pane() {
    static QPointer<kvui::TrafficView> pane;
    return pane;
}

kvui::TrafficProtocol LineProtocol() {
    kvui::TrafficProtocol protocol;
    for (int i = 0; i < kOrderNameCount; ++i)
        protocol.orders.emplace_back(kOrderNames[i].code, kOrderNames[i].name);
    protocol.describe = [](bool toController, const uint8_t* bytes, int count, int orderSent) {
        const LineBlock block = DescribeLineBlock(toController, bytes, count, orderSent);
        return kvui::TrafficBlockInfo{block.order, block.label, block.firstWord};
    };
    return protocol;
}

// The first time it opens, the pane goes to the right of the panel, or below it when the
// screen has no room there.
void PlaceBeside(QWidget* pane, const QWidget* panel) {
    const QRect frame = panel->frameGeometry();
    const QScreen* screen = panel->screen() ? panel->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    QPoint at(frame.right() + 8, frame.top());
    if (room.isValid() && at.x() + pane->width() > room.right())
        at = QPoint(frame.left(), std::min(frame.bottom() + 8, room.bottom() - pane->height()));
    pane->move(at);
}

}  // namespace

void InstallTrafficMenu() {
    QWidget* panel = PanelWidget(panelHandle);
    if (panel == nullptr || PanelMenu(MENU_VIEW) == nullptr) return;
    auto* pane = new kvui::TrafficView(LineProtocol(), panel);
    Pane() = pane;

    auto* action = new QAction(QStringLiteral("&Traffic"), panel);
    action->setObjectName(QStringLiteral("actionTraffic"));
    action->setCheckable(true);
    action->setShortcut(QKeySequence(QStringLiteral("Ctrl+T")));
    QObject::connect(action, &QAction::toggled, pane,
                     [pane, panel, placed = false](bool on) mutable {
                         if (on && !placed) {
                             PlaceBeside(pane, panel);
                             placed = true;
                         }
                         pane->setVisible(on);
                     });
    // Closing the pane's window unticks the item.
    QObject::connect(pane, &kvui::TrafficView::shownChanged, action, &QAction::setChecked);
    AddPanelMenuAction(MENU_VIEW, action);
}

QWidget* TrafficPane() {
    return Pane();
}

}  // namespace kervano
