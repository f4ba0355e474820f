// Loading, showing and discarding panels, and installing their callbacks.
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QStringList>
#include <cstdio>
#include <memory>

#include "platform/ui/control_events.h"
#include "platform/ui/frame_pacer.h"
#include "platform/ui/panel_preparation.h"
#include "platform/ui/panel_ui_loader.h"
#include "platform/ui/ui_registry.h"
#include "platform/ui/ui_service.h"

namespace {

// The places a resource file may be, in the order they are tried: an absolute name as
// given; a relative one beside the program (the build tree), then in the data directory of
// an installed program (KV_INSTALLED_DATA_DIR, relative to the program's directory).
QStringList ResolveResourcePath(const char* resourceFile) {
    const QString name = QString::fromLocal8Bit(resourceFile);
    if (QDir::isAbsolutePath(name)) return {name};
    const QDir programDir(QCoreApplication::applicationDirPath());
    return {programDir.filePath(name),
            QDir::cleanPath(programDir.filePath(QStringLiteral(KV_INSTALLED_DATA_DIR "/") + name))};
}

// Opens the first place that holds the resource. When none does, one line on stderr names
// every place tried, so a broken installation says what it misses.
bool OpenResource(const char* resourceFile, QFile& file) {
    const QStringList tried = ResolveResourcePath(resourceFile);
    for (const QString& path : tried) {
        file.setFileName(path);
        if (file.open(QIODevice::ReadOnly)) return true;
    }
    std::fprintf(stderr, "%s: cannot read the panel resource %s (tried %s)\n",
                 qPrintable(QCoreApplication::applicationName()), resourceFile,
                 qPrintable(tried.join(QStringLiteral(", "))));
    return false;
}

// Maps every registered name found among the panel's children to its constant.
void MapControls(kvui::PanelRecord& record) {
    for (const auto& [id, name] : kvui::ResourceNames()) {
        auto* w = record.widget->findChild<QWidget*>(QString::fromStdString(name));
        if (!w) continue;
        record.controls[id] = w;
        // The program keeps radio groups exclusive itself and switches them off by click.
        if (auto* radio = qobject_cast<QRadioButton*>(w)) radio->setAutoExclusive(false);
        kvui::WireControl(record.handle, id, w);
    }
}

// What one build of a resource left over: a resource holds all its panels, building them
// is the slow part of loading one, and the program loads them one after the other. The
// next LoadPanel of the same file, unchanged, takes its panel from here.
struct Leftover {
    QString path;
    QByteArray contents;
    QWidget* root = nullptr;  // not deleted at exit: widgets must not outlive the application
};

Leftover& Spare() {
    static Leftover spare;
    return spare;
}

void DropSpare() {
    delete Spare().root;
    Spare() = Leftover();
}

// The resource's widget tree for contents: the spare one when it is of the same file,
// unchanged, and still holds the panel; otherwise a new build.
std::unique_ptr<QWidget> BuildResource(const QString& path, const QByteArray& contents,
                                       const QString& panelName) {
    Leftover& spare = Spare();
    if (spare.root && spare.path == path && spare.contents == contents &&
        spare.root->findChild<QWidget*>(panelName)) {
        std::unique_ptr<QWidget> root(spare.root);
        spare = Leftover();
        return root;
    }
    QBuffer buffer;
    buffer.setData(contents);
    buffer.open(QIODevice::ReadOnly);
    kvui::PanelUiLoader loader;
    return std::unique_ptr<QWidget>(loader.load(&buffer));
}

// Keeps what is left of root for the next panel, unless nothing is.
void KeepRest(std::unique_ptr<QWidget> root, const QString& path, const QByteArray& contents) {
    if (root->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).isEmpty()) return;
    DropSpare();
    Spare() = Leftover{path, contents, root.release()};
}

}  // namespace

int LoadPanel(int parentPanel, const char* resourceFile, int panelResourceId) {
    if (!resourceFile || !*resourceFile) return kUiError;
    const std::string panelName = kvui::ResourceName(panelResourceId);
    if (panelName.empty()) return kUiError;
    QWidget* parentWidget = nullptr;
    if (parentPanel != 0) {
        kvui::PanelRecord* parent = kvui::FindPanel(parentPanel);
        if (!parent) return kUiError;
        parentWidget = parent->widget;
    }

    QFile file;
    if (!OpenResource(resourceFile, file)) return kUiError;
    const QByteArray contents = file.readAll();
    const QString name = QString::fromStdString(panelName);
    std::unique_ptr<QWidget> root = BuildResource(file.fileName(), contents, name);
    if (!root) return kUiError;
    QWidget* panel = root->findChild<QWidget*>(name);
    if (!panel) return kUiError;

    // The panel becomes a window of its own; the rest of the resource waits for the next.
    const QSize designed = panel->size();
    panel->setParent(parentWidget, Qt::Window);
    panel->resize(designed.expandedTo(panel->minimumSizeHint()));
    KeepRest(std::move(root), file.fileName(), contents);

    kvui::PaceFrames(panel);
    kvui::PrepareBeforeShowing(panel);
    kvui::PanelRecord& record = kvui::AddPanel(panel, panelResourceId);
    kvui::WirePanel(record.handle, panel);
    MapControls(record);
    return record.handle;
}

int DisplayPanel(int panel) {
    kvui::PanelRecord* record = kvui::FindPanel(panel);
    if (!record) return kUiError;
    record->widget->show();
    record->widget->raise();
    record->widget->activateWindow();
    return 0;
}

int HidePanel(int panel) {
    kvui::PanelRecord* record = kvui::FindPanel(panel);
    if (!record) return kUiError;
    record->widget->hide();
    return 0;
}

int DiscardPanel(int panel) {
    kvui::PanelRecord* record = kvui::FindPanel(panel);
    if (!record) return kUiError;
    QWidget* widget = record->widget;
    kvui::ForgetPanel(panel);
    // Deleted later: the call may come from a callback of one of the panel's own widgets.
    widget->hide();
    widget->deleteLater();
    return 0;
}

int InstallCtrlCallback(int panel, int control, CtrlCallbackPtr callback, void* callbackData) {
    kvui::PanelRecord* record = kvui::FindPanel(panel);
    if (!record || !kvui::FindControl(panel, control)) return kUiError;
    record->ctrlCallbacks[control] = {callback, callbackData};
    return 0;
}

int InstallPanelCallback(int panel, PanelCallbackPtr callback, void* callbackData) {
    kvui::PanelRecord* record = kvui::FindPanel(panel);
    if (!record) return kUiError;
    record->panelCallback = callback;
    record->panelCallbackData = callbackData;
    return 0;
}
