#include "platform/ui/panel_ui_loader.h"

#include <QCoreApplication>
#include <QScrollArea>
#include <QSplitter>

#include "platform/ui/data_graph.h"
#include "platform/ui/led.h"
#include "platform/ui/panel_group_box.h"
#include "platform/ui/readout.h"
#include "platform/ui/strip_chart.h"

namespace kvui {

namespace {

// The application's library paths while a loader is being made.
QStringList& HiddenLibraryPaths() {
    static QStringList paths;
    return paths;
}

// Designer plug-ins found on the machine have no business in the instrument panel, and
// QUiLoader loads every one of them as it is made (Qt's own pulls in Qt Quick and QML: a
// tenth of the program's start-up). It looks for them in the application's library paths,
// so those are empty while it is made.
QObject* HideLibraryPaths(QObject* parent) {
    HiddenLibraryPaths() = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    return parent;
}

}  // namespace

PanelUiLoader::PanelUiLoader(QObject* parent) : QUiLoader(HideLibraryPaths(parent)) {
    QCoreApplication::setLibraryPaths(HiddenLibraryPaths());
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
    // A pane docked below the controls puts them in a splitter.
    if (!scroll) {
        if (auto* dock = panel->findChild<QSplitter*>(QString(), Qt::FindDirectChildrenOnly))
            scroll = dock->findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
    }
    return scroll && scroll->widget() ? scroll->widget() : panel;
}

}  // namespace kvui
