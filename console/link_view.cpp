#include "console/link_view.h"

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QString>
#include <QToolButton>

#include "console/startup.h"
#include "console/status_history.h"
#include "console/status_history_view.h"
#include "link/link_state.h"
#include "platform/serial/port_table.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/qt_panel_access.h"

namespace kervano {

namespace {

struct Look {
    const char* text;
    QColor background;
    QColor foreground;
};

Look LookOf(LinkState state) {
    switch (state) {
        case LINK_ANSWERING:
            return {"Answering", QColor(0x2e, 0x7d, 0x32), Qt::white};
        case LINK_NOT_ANSWERING:
            return {"Not answering", QColor(0xf9, 0xa8, 0x25), Qt::black};
        case LINK_PORT_CLOSED:
            break;
    }
    return {"Port closed", QColor(0xc6, 0x28, 0x28), Qt::white};
}

QString PortName() {
    return QStringLiteral("COM%1").arg(linkPort);
}

QString Tooltip() {
    const QString port = PortName();
    switch (linkState) {
        case LINK_ANSWERING:
            return QStringLiteral("Answering: the controller answered the last exchange on %1.")
                .arg(port);
        case LINK_NOT_ANSWERING:
            return QStringLiteral(
                       "Not answering: %1 is open, but the controller's last reply did not come "
                       "in time, or the echo check failed. Check the cable and the controller's "
                       "power; Get or choosing the port again tries anew.")
                .arg(port);
        case LINK_PORT_CLOSED:
            break;
    }
    switch (linkClosedCause) {
        case LINK_OPEN_FAILED: {
            const QString why = QString::fromLocal8Bit(ComOpenFailureReason(linkPort).c_str());
            return QStringLiteral(
                       "Port closed: %1 could not be opened%2. Choose another port "
                       "or plug the adapter in.")
                .arg(port, why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why));
        }
        case LINK_DEVICE_GONE:
            return QStringLiteral(
                       "Port closed: the device behind %1 went away (unplugged or "
                       "hung up). The tool opens it again by itself when it is back.")
                .arg(port);
        case LINK_CLOSED:
            return QStringLiteral("Port closed: no port is open. Choose a port.");
        case LINK_NOT_OPENED:
            break;
    }
    return QStringLiteral("Port closed: no port has been opened yet.");
}

// The state changes only when a wait ends differently from the last one, so looking the
// device up each time (which may list the system's ports) costs nothing worth keeping.
QString TitleFor() {
    const QString dash = QString(QChar(0x2014));
    if (linkState == LINK_PORT_CLOSED) return QStringLiteral("kervano-scope %1 no port").arg(dash);
    const QString device = QString::fromStdString(PortTableDevice(linkPort));
    return QStringLiteral("kervano-scope %1 %2 %3").arg(dash, PortName(), device).trimmed();
}

void ShowLinkState() {
    QWidget* panel = PanelWidget(panelHandle);
    if (panel == nullptr) return;
    panel->window()->setWindowTitle(TitleFor());
    auto* indicator = panel->findChild<QLabel*>(QStringLiteral("linkIndicator"));
    if (indicator == nullptr) return;
    const Look look = LookOf(linkState);
    QPalette palette = indicator->palette();
    palette.setColor(QPalette::Window, look.background);
    palette.setColor(QPalette::WindowText, look.foreground);
    indicator->setPalette(palette);
    indicator->setAutoFillBackground(true);
    indicator->setText(QString::fromLatin1(look.text));
    // How the line is set up (low-latency mode, the network connection's kind).
    const std::string remark = linkState == LINK_PORT_CLOSED ? "" : ComPortRemark(linkPort);
    indicator->setToolTip(remark.empty() ? Tooltip()
                                         : Tooltip() + '\n' + QString::fromStdString(remark));
    indicator->setAccessibleDescription(indicator->toolTip());
}

}  // namespace

void InstallLinkViews() {
    StartStatusHistory();
    AddLinkStateListener(ShowLinkState);
    ShowLinkState();
    QWidget* panel = PanelWidget(panelHandle);
    if (panel == nullptr) return;
    if (auto* button = panel->findChild<QToolButton*>(QStringLiteral("statusHistoryButton")))
        QObject::connect(button, &QToolButton::clicked, button, [] { ShowStatusHistory(); });
}

}  // namespace kervano
