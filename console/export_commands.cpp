#include "console/export_commands.h"

#include <QAction>
#include <QDateTime>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <ctime>
#include <string>

#include "console/export_dialog.h"
#include "console/menus.h"
#include "console/open_capture.h"
#include "console/settings.h"
#include "console/startup.h"
#include "params/param_file.h"
#include "platform/files/file_service.h"
#include "platform/ui/chart_image.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "resources/status_line.h"
#include "scope/capture_csv.h"
#include "scope/last_capture.h"
#include "scope/monitor_recording.h"

namespace kervano {

namespace {

struct ExportState {
    QPointer<QAction> exportCsv;
    QPointer<QAction> record;
    QPointer<QTimer> recordingTick;
};

ExportState& ExportsState() {
    static ExportState state;
    return state;
}

// Whole or not at all: a failed write leaves an existing file as it was.
bool WriteExport(const std::string& path, const std::string& bytes) {
    std::string error;
    if (WriteFileWhole(path, bytes, &error)) return true;
    ShowStatus(("Cannot write " + path + " - " + error + " - file unchanged!").c_str());
    return false;
}

// The capture the graphs show: an opened file while it is shown, else the last one taken.
const CaptureRecord* ShownCapture() {
    const CaptureRecord* shown = ShownFileCapture();
    return shown != nullptr ? shown : LastCapture();
}

void ExportCaptureCsv() {
    const CaptureRecord* capture = ShownCapture();
    if (capture == nullptr) return;
    const std::string path = AskExportFile("Export capture as CSV",
                                           DefaultName("capture", capture->time, ".csv"), "*.csv");
    if (path.empty()) return;
    if (WriteExport(path, FormatCaptureCsv(*capture)))
        ShowStatus(("Capture exported to " + path).c_str());
}

// The picture is taken when the command is given, before the dialog: a running monitor
// waits while the dialog is open.
void SaveChartsPng(int scale) {
    const int charts[] = {PANEL_STRIPTOP, PANEL_GRAPHTOP, PANEL_STRIPBOT, PANEL_GRAPHBOT};
    std::string png;
    int width = 0;
    int height = 0;
    if (ChartsPng(panelHandle, charts, 4, scale, png, &width, &height) <= 0) {
        ShowStatus("No chart shown - nothing saved!");
        return;
    }
    const std::string path =
        AskExportFile(scale == 1 ? "Save charts as PNG" : "Save charts as PNG (2x)",
                      DefaultName("charts", std::time(nullptr), ".png"), "*.png");
    if (path.empty()) return;
    if (!WriteExport(path, png)) return;
    ShowStatus(("Charts saved to " + path + " (" + std::to_string(width) + "x" +
                std::to_string(height) + " pixels)")
                   .c_str());
}

void ToggleRecording(bool on) {
    if (!on) {
        StopMonitorRecording();
        return;
    }
    const std::string path = AskExportFile(
        "Record monitor to CSV", DefaultName("monitor", std::time(nullptr), ".csv"), "*.csv");
    if (path.empty() || StartMonitorRecording(path.c_str()) != 1) {
        if (ExportsState().record) ExportsState().record->setChecked(false);
    }
}

void RecordingChanged(bool recording) {
    ExportState& state = ExportsState();
    if (state.record) state.record->setChecked(recording);
    if (state.recordingTick) {
        if (recording) {
            state.recordingTick->start();
        } else {
            state.recordingTick->stop();
        }
    }
}

void CaptureAvailable(bool available) {
    if (ExportsState().exportCsv) ExportsState().exportCsv->setEnabled(available);
}

QAction* NewCommand(QObject* parent, const char* name, const char* text) {
    auto* action = new QAction(QString::fromLatin1(text), parent);
    action->setObjectName(QString::fromLatin1(name));
    AddPanelMenuAction(MENU_FILE, action);
    return action;
}

}  // namespace

void InstallExportCommands() {
    QMenu* file = PanelMenu(MENU_FILE);
    if (file == nullptr) return;
    ExportState& state = ExportsState();
    state = ExportState{};

    auto* separator = new QAction(file);
    separator->setSeparator(true);
    AddPanelMenuAction(MENU_FILE, separator);

    state.exportCsv = NewCommand(file, "actionExportCaptureCsv", "&Export capture as CSV...");
    QObject::connect(state.exportCsv, &QAction::triggered, [] { ExportCaptureCsv(); });
    CaptureAvailable(LastCapture() != nullptr);
    SetCaptureListener(CaptureAvailable);
    // An opened file can be exported before any capture was taken.
    QObject::connect(file, &QMenu::aboutToShow,
                     [] { CaptureAvailable(ShownCapture() != nullptr); });

    QObject::connect(NewCommand(file, "actionSaveChartsPng", "Save charts as &PNG..."),
                     &QAction::triggered, [] { SaveChartsPng(1); });
    QObject::connect(NewCommand(file, "actionSaveChartsPng2x", "Save charts as PNG (&2x)..."),
                     &QAction::triggered, [] { SaveChartsPng(2); });

    state.record = NewCommand(file, "actionRecordMonitor", "&Record monitor to CSV...");
    state.record->setCheckable(true);
    state.record->setChecked(monitorRecording);
    QObject::connect(state.record, &QAction::triggered, [](bool on) { ToggleRecording(on); });
    // Waiting rows reach the file when replies stop coming too.
    state.recordingTick = new QTimer(state.record);
    state.recordingTick->setInterval(kRecorderTickMs);
    QObject::connect(state.recordingTick, &QTimer::timeout, [] { FlushMonitorRecording(); });
    if (monitorRecording) state.recordingTick->start();
    SetMonitorRecordingListener(RecordingChanged);
    // The panel goes before the program ends: what was recorded reaches the file then.
    QObject::connect(state.record, &QObject::destroyed, [] { CloseMonitorRecording(); });
}

}  // namespace kervano
