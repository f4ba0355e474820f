#include "platform/ui/panel_ui_loader.h"

#include <QScrollArea>

#include "platform/ui/data_graph.h"
#include "platform/ui/led.h"
#include "platform/ui/panel_group_box.h"
#include "platform/ui/readout.h"
#include "platform/ui/strip_chart.h"

namespace kvui {

PanelUiLoader::PanelUiLoader(QObject* parent) : QUiLoader(parent) {
    // Designer plug-ins found on the machine have no business in the instrument panel.
    clearPluginPaths();
}

QWidget* PanelUiLoader::createWidget(const QString& className, QWidget* parent,
                                     const QString& name) {
    QWidget* widget = nullptr;
    if (className == QLatin1String("StripChart")) {
        widget = new StripChart(parent);
    } else if (className == QLatin1String("DataGraph")) {
        widget = new DataGraph(parent);
    } else if (className == QLatin1String("Led")) {
        widget = new Led(parent);
    } else if (className == QLatin1String("Readout")) {
        widget = new Readout(parent);
    } else if (className == QLatin1String("QGroupBox")) {
        widget = new PanelGroupBox(parent);
    } else {
        return QUiLoader::createWidget(className, parent, name);
    }
    widget->setObjectName(name);
    return widget;
}

QWidget* ClientArea(QWidget* panel) {
    auto* scroll = panel->findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
    return scroll && scroll->widget() ? scroll->widget() : panel;
}

}  // namespace kvui
