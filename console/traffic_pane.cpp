#include "console/traffic_pane.h"

#include <QAction>
#include <QKeySequence>
#include <QPointer>

#include "console/menus.h"
#include "console/startup.h"
#include "link/order_names.h"
#include "platform/ui/panel_dock.h"
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

}  // namespace

void InstallTrafficMenu() {
    QWidget* panel = PanelWidget(panelHandle);
    if (panel == nullptr || PanelMenu(MENU_VIEW) == nullptr) return;
    auto* pane = new kvui::TrafficView(LineProtocol(), panel);
    kvui::DockBelowControls(panel, pane);
    Pane() = pane;

    auto* action = new QAction(QStringLiteral("&Traffic"), panel);
    action->setObjectName(QStringLiteral("actionTraffic"));
    action->setCheckable(true);
    action->setShortcut(QKeySequence(QStringLiteral("Ctrl+T")));
    QObject::connect(action, &QAction::toggled, pane, &QWidget::setVisible);
    // Hiding the pane with its own button unticks the item.
    QObject::connect(pane, &kvui::TrafficView::shownChanged, action, &QAction::setChecked);
    AddPanelMenuAction(MENU_VIEW, action);
}

QWidget* TrafficPane() {
    return Pane();
}

}  // namespace kervano
