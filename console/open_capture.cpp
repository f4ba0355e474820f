#include "console/open_capture.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include "console/capture_overlay.h"
#include "console/menus.h"
#include "console/settings.h"
#include "console/startup.h"
#include "params/param_file.h"
#include "platform/files/file_service.h"
#include "platform/ui/data_graph.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "resources/status_line.h"
#include "scope/capture_reading.h"
#include "scope/data_graphs.h"

namespace kervano {

namespace {
// A capture is about 10 KiB; anything much larger is no capture.
constexpr long long kMaxCaptureBytes = 64 * 1024;

struct OpenedCapture {
    CaptureRecord record;
    std::string caption;  // what the graphs say while they show it
    bool opened = false;
};

OpenedCapture& Opened() {
    static OpenedCapture opened;
    return opened;
}

std::string& StartFile() {
    static std::string path;
    return path;
}

void Refuse(const std::string& path, const std::string& why) {
    ShowStatus(("Cannot open capture " + path + " - " + why + " - nothing changed!").c_str());
}

void AskAndOpenCapture() {
    char path[kPathBytes] = "";
    const int chosen = FileSelectPopup(ExportFolder().c_str(), "", "*.csv", "Open capture",
                                       VAL_LOAD_BUTTON, 0, 1, 1, 0, path);
    if (chosen < 0) ShowStatus("File selection error - nothing opened!");
    if (chosen <= 0) return;
    RememberExportFile(path);
    OpenCaptureFile(path);
}
}  // namespace

std::string FileCaptureNote(const std::string& path, const CaptureRecord& record) {
    std::string stamp = Iso8601LocalTime(record.time).substr(0, 19);
    stamp[10] = ' ';
    const std::string name =
        QFileInfo(QString::fromLocal8Bit(path)).fileName().toLocal8Bit().toStdString();
    return "File " + name + ", captured " + stamp + " - not the controller";
}

bool OpenCaptureFile(const std::string& path) {
    if (stop_flag == 0) {
        Refuse(path, "the monitor is running, press Stop first");
        return false;
    }
    std::string bytes;
    std::string error;
    if (!ReadFileWhole(path, kMaxCaptureBytes, bytes, &error)) {
        Refuse(path, error);
        return false;
    }
    CaptureRecord record;
    if (!ParseCaptureCsv(bytes, record, error)) {
        Refuse(path, error);
        return false;
    }
    OpenedCapture& opened = Opened();
    opened.record = record;
    opened.caption = kGraphCaption;
    opened.caption += "  |  ";
    opened.caption += FileCaptureNote(path, record);
    opened.opened = true;
    PlotCaptureRecord(opened.record, opened.caption.c_str());
    ShowStatus(("Capture opened from " + path + " - not the controller").c_str());
    return true;
}

const CaptureRecord* ShownFileCapture() {
    const OpenedCapture& opened = Opened();
    // Run hides the graphs and Data draws them under their own caption: either ends it.
    auto* graph = qobject_cast<DataGraph*>(CtrlWidget(panelHandle, PANEL_GRAPHTOP));
    if (!opened.opened || graph == nullptr || graph->isHidden() ||
        graph->caption().toStdString() != opened.caption)
        return nullptr;
    return &opened.record;
}

void SetCaptureToOpen(const std::string& path) {
    StartFile() = path;
}

void InstallCaptureCommands() {
    QMenu* file = PanelMenu(MENU_FILE);
    if (file == nullptr) return;
    Opened() = OpenedCapture{};
    auto* action = new QAction(QStringLiteral("Open &capture..."), file);
    action->setObjectName(QStringLiteral("actionOpenCapture"));
    QObject::connect(action, &QAction::triggered, [] { AskAndOpenCapture(); });
    AddPanelMenuAction(MENU_FILE, action);
    InstallOverlayCommands();
}

void OpenCaptureAtStart() {
    if (!StartFile().empty()) OpenCaptureFile(StartFile());
}

}  // namespace kervano
