#include "console/settings.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "console/startup.h"
#include "console/traffic_pane.h"
#include "link/port_setup.h"
#include "params/param_file.h"
#include "platform/files/settings_store.h"
#include "platform/serial/port_table.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/window_fit.h"
#include "resources/panel_ids.h"

namespace kervano {

namespace {

const char* const kPortKey = "port/device";
const char* const kViewModeKey = "view/mode";
const char* const kGeometryKey = "window/geometry";
const char* const kExportFolderKey = "files/exportFolder";
const char* const kTrafficPaneKey = "view/trafficPane";
const char* const kNetworkPortsKey = "port/networkPorts";

void Remember(const char* key, const QVariant& value) {
    OpenSettings()->setValue(QLatin1String(key), value);
}

// From now on the port and the display mode are saved as the operator changes them. The
// port's own callback has run by then (it was connected first), so com is the new port.
void SaveOperatorChoices() {
    if (auto* selector = qobject_cast<QComboBox*>(CtrlWidget(panelHandle, PANEL_DROPDCOM))) {
        QObject::connect(selector, &QComboBox::activated, selector, [] {
            const std::string device = PortTableDevice(com);
            if (!device.empty()) Remember(kPortKey, QString::fromStdString(device));
        });
    }
    if (auto* mode = qobject_cast<QComboBox*>(CtrlWidget(panelHandle, PANEL_VIEWMODE))) {
        QObject::connect(mode, &QComboBox::currentIndexChanged, mode, [] {
            unsigned short value = 0;
            if (GetCtrlVal(panelHandle, PANEL_VIEWMODE, &value) == 0)
                Remember(kViewModeKey, static_cast<int>(value));
        });
    }
}

}  // namespace

void RestoreSettings() {
    const std::unique_ptr<QSettings> settings = OpenSettings();
    const std::string device = settings->value(QLatin1String(kPortKey)).toString().toStdString();
    if (!PortTableHasPins() && PortTableDevicePresent(device)) PortTablePin(1, device);
    for (const QString& address : settings->value(QLatin1String(kNetworkPortsKey)).toStringList())
        PortTablePinAddress(address.toStdString());

    bool known = false;
    const int mode = settings->value(QLatin1String(kViewModeKey)).toInt(&known);
    if (known) SetCtrlVal(panelHandle, PANEL_VIEWMODE, mode);  // a mode no item has is refused

    const QByteArray geometry = settings->value(QLatin1String(kGeometryKey)).toByteArray();
    if (QWidget* panel = PanelWidget(panelHandle)) {
        if (geometry.isEmpty() || !panel->restoreGeometry(geometry))
            panel->setGeometry(kvui::FirstStartGeometry(panel->size(), kvui::FrameMargins(panel),
                                                        kvui::AvailableArea(panel)));
        // What was remembered on another screen, and a frame known only once shown.
        kvui::KeepOnScreen(panel);
    }

    SaveOperatorChoices();
}

void RestorePanes() {
    QWidget* panel = PanelWidget(panelHandle);
    if (panel == nullptr || !OpenSettings()->value(QLatin1String(kTrafficPaneKey)).toBool()) return;
    if (auto* traffic = panel->findChild<QAction*>(QStringLiteral("actionTraffic")))
        traffic->setChecked(true);
}

void SaveSettings() {
    QWidget* panel = PanelWidget(panelHandle);
    if (panel == nullptr) return;
    Remember(kGeometryKey, panel->saveGeometry());
    const QWidget* traffic = TrafficPane();
    Remember(kTrafficPaneKey, traffic != nullptr && !traffic->isHidden());
}

void RememberNetworkPort(const std::string& address) {
    QStringList addresses = OpenSettings()->value(QLatin1String(kNetworkPortsKey)).toStringList();
    if (addresses.contains(QString::fromStdString(address))) return;
    addresses.append(QString::fromStdString(address));
    Remember(kNetworkPortsKey, addresses);
}

std::string ExportFolder() {
    const std::string remembered = RememberedFolder(kExportFolderKey);
    return remembered.empty() ? ParamFileFolder() : remembered;
}

void RememberExportFile(const char* path) {
    RememberFolderOf(kExportFolderKey, path);
}

}  // namespace kervano
