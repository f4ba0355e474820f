#include "console/port_watch.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include "console/link_reconnect.h"
#include "console/port_selector.h"
#include "console/startup.h"
#include "platform/serial/port_table.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"

namespace kervano {

namespace {
int watchIntervalMs = 2000;
QPointer<QTimer> watchTimer;
}  // namespace

void PortWatchTurn() {
    auto* selector = qobject_cast<QComboBox*>(CtrlWidget(panelHandle, PANEL_DROPDCOM));
    if (selector == nullptr) return;
    const bool choosing = selector->view()->isVisible();
    if (!choosing) RefreshPortSelector();
    // Not while the operator is choosing a port, nor from inside a modal dialog (the file
    // dialog of Send or Get), whose event loop runs inside its command.
    WatchLinkDevice(!choosing && QThread::currentThread()->loopLevel() <= 1);
}

void StartPortWatch() {
    PortTableLookAhead();
    if (!watchTimer) {
        watchTimer = new QTimer(QCoreApplication::instance());
        QObject::connect(watchTimer, &QTimer::timeout, [] { PortWatchTurn(); });
    }
    watchTimer->start(watchIntervalMs);
}

void StopPortWatch() {
    if (watchTimer) watchTimer->stop();
}

void SetPortWatchInterval(int milliseconds) {
    watchIntervalMs = milliseconds > 0 ? milliseconds : 2000;
}

}  // namespace kervano
