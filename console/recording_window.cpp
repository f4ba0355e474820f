#include "console/recording_window.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>
#include <memory>

#include "console/menus.h"
#include "console/recording_plot.h"
#include "console/settings.h"
#include "params/param_file.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_handle.h"
#include "resources/status_line.h"

namespace kervano {

namespace {

QString LocalStamp(long long ms, int offsetMin, const char* format) {
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, offsetMin * 60)
        .toString(QString::fromLatin1(format));
}

// "770000 rows from 2026-03-02 14:05:09 to 22:05:09 (8:00:00), 3 rows skipped (cut short or
// damaged)"
QString Summary(const Recording& r) {
    const std::size_t last = r.rows() - 1;
    QString text =
        QStringLiteral("%1 rows from %2 to %3 (%4), %5 rows skipped (cut short or damaged)")
            .arg(r.rows())
            .arg(LocalStamp(r.timeMs[0], r.offsetMin[0], "yyyy-MM-dd HH:mm:ss"),
                 LocalStamp(
                     r.timeMs[last], r.offsetMin[last],
                     r.timeMs[last] - r.timeMs[0] < 86400000 ? "HH:mm:ss" : "yyyy-MM-dd HH:mm:ss"),
                 QString::fromStdString(SpanText(r.timeMs[last] - r.timeMs[0])))
            .arg(r.skipped);
    return text;
}

void AskAndOpenRecording() {
    char path[kPathBytes] = "";
    const std::string folder = ExportFolder();
    const int chosen = FileSelectPopup(folder.c_str(), "", "*.csv", "Open recording",
                                       VAL_LOAD_BUTTON, 0, 0, 1, 0, path);
    if (chosen < 0) ShowStatus("File selection error - no recording opened!");
    if (chosen <= 0) return;
    OpenRecordingWindow(path);
}

}  // namespace

QWidget* OpenRecordingWindow(const std::string& path) {
    auto recording = std::make_shared<Recording>();
    std::string error;
    if (!ReadRecording(path, *recording, error)) {
        ShowStatus(("Cannot open recording " + path + " - " + error + "!").c_str());
        return nullptr;
    }
    auto* window = new QWidget(PanelWidget(panelHandle), Qt::Window);
    window->setObjectName(QStringLiteral("recordingWindow"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    const QString name = QFileInfo(QString::fromLocal8Bit(path.c_str())).fileName();
    window->setWindowTitle(QStringLiteral("Recording - %1").arg(name));

    auto* summary = new QLabel(Summary(*recording), window);
    summary->setObjectName(QStringLiteral("recordingSummary"));
    summary->setToolTip(QString::fromLocal8Bit(path.c_str()));
    auto* unit = new QComboBox(window);
    unit->setObjectName(QStringLiteral("recordingUnit"));
    unit->addItems({QStringLiteral("raw values"), QStringLiteral("normalised")});
    auto* unitLabel = new QLabel(QStringLiteral("&View"), window);
    unitLabel->setBuddy(unit);
    auto* plot = new RecordingPlot(recording, window);
    plot->setObjectName(QStringLiteral("recordingPlot"));
    auto* readout = new QLabel(window);
    readout->setObjectName(QStringLiteral("recordingReadout"));
    readout->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readout->setWordWrap(true);
    readout->setText(QStringLiteral("Wheel or +/- zoom, drag or arrows pan, Home shows all"));
    plot->setReadoutListener([readout](const QString& text) { readout->setText(text); });
    QObject::connect(unit, &QComboBox::currentIndexChanged, plot, [plot](int index) {
        plot->setUnit(index == 0 ? RECORDING_RAW : RECORDING_NORMALISED);
    });

    auto* top = new QHBoxLayout;
    top->addWidget(summary, 1);
    top->addWidget(unitLabel);
    top->addWidget(unit);
    auto* layout = new QVBoxLayout(window);
    layout->addLayout(top);
    layout->addWidget(plot, 1);
    layout->addWidget(readout);
    window->resize(960, 600);
    window->show();
    plot->setFocus();
    ShowStatus(
        ("Recording opened: " + std::to_string(recording->rows()) + " rows from " + path).c_str());
    return window;
}

void InstallRecordingCommand() {
    QMenu* file = PanelMenu(MENU_FILE);
    if (file == nullptr) return;
    auto* action = new QAction(QStringLiteral("Open re&cording..."), file);
    action->setObjectName(QStringLiteral("actionOpenRecording"));
    QObject::connect(action, &QAction::triggered, [] { AskAndOpenRecording(); });
    AddPanelMenuAction(MENU_FILE, action);
}

}  // namespace kervano
