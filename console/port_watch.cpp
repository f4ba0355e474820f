#include "console/port_watch.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QTimer>

#include "console/port_selector.h"
#include "console/startup.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"

namespace kervano {

namespace {
constexpr int kWatchIntervalMs = 2000;
}  // namespace

void StartPortWatch() {
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, [] {
        auto* selector = qobject_cast<QComboBox*>(CtrlWidget(panelHandle, PANEL_DROPDCOM));
        if (selector == nullptr || selector->view()->isVisible()) return;
        RefreshPortSelector();
    });
    timer->start(kWatchIntervalMs);
}

}  // namespace kervano
