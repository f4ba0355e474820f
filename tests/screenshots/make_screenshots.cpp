// Makes the README's screenshots: the panel on the built-in simulated controller after
// start-up, during a live monitor run, after a data capture and at a 1366x768 window, the
// traffic pane docked below the controls, the status history window, the Compare window,
// the panel with an unsent change, a service report page, the Journal window, and a capture
// over the one before it kept as an overlay.
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "console/line_figures_window.h"
#include "console/recording_window.h"
#include "console/service_report_file.h"
#include "console/startup.h"
#include "console/traffic_pane.h"
#include "platform/serial/port_table.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "scope/monitor_recorder.h"
#include "sim/pty_server.h"
#include "tests/support/app/run_program.h"

namespace {

// Long enough for several ticks of the panel's frame pacer and of the traffic pane's row
// updates; the charts lay out their legends and titles from posted events as well.
constexpr int kSettleMs = 250;

QWidget* Panel() {
    return PanelWidget(kervano::panelHandle);
}

// Lets every pending layout, deferred repaint and timer run, so that no picture shows a
// panel half drawn. Inside the monitor loop the replies that arrive meanwhile only set the
// loop's flags; the loop draws them when it gets control back.
void Settle() {
    QTest::qWait(kSettleMs);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::processEvents();
}

// A window as the desktop would show it, without the decorations the offscreen platform
// does not draw: its contents inside a thin frame.
QImage Framed(QWidget* window) {
    const QPixmap inside = window->grab();
    QImage framed(inside.width() + 2, inside.height() + 2, QImage::Format_RGB32);
    framed.fill(QColor(0x70, 0x70, 0x70));
    QPainter(&framed).drawPixmap(1, 1, inside);
    return framed;
}

bool Write(const std::string& dir, const char* name, const QImage& image) {
    const std::string path = dir + "/" + name;
    // Quality 0 is zlib's strongest compression: the same pixels in fewer bytes.
    const bool ok = image.save(QString::fromStdString(path), "PNG", 0);
    std::printf("%s %s (%dx%d)\n", ok ? "wrote" : "could not write", path.c_str(), image.width(),
                image.height());
    return ok;
}

bool Save(const std::string& dir, const char* name) {
    Settle();
    return Write(dir, name, Panel()->grab().toImage());
}

bool SaveWindow(const std::string& dir, const char* name, QWidget* window) {
    Settle();
    return Write(dir, name, Framed(window));
}

QAction* MenuAction(const char* name) {
    return Panel()->findChild<QAction*>(QString::fromLatin1(name));
}

QWidget* TopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    return nullptr;
}

// The top of a service report as a browser shows it: the page drawn by Qt's own HTML
// renderer, its embedded graphs given to it as images.
bool SaveReportPage(const std::string& dir, const std::string& file) {
    std::string error;
    if (!kervano::WriteServiceReport(file, &error)) return false;
    QFile html(QString::fromStdString(file));
    if (!html.open(QIODevice::ReadOnly)) return false;
    const QString page = QString::fromUtf8(html.readAll());
    QTextDocument document;
    static const QRegularExpression source(QStringLiteral("src=\"(data:image/png;base64,([^\"]+))\""));
    for (auto match = source.globalMatch(page); match.hasNext();) {
        const QRegularExpressionMatch image = match.next();
        document.addResource(QTextDocument::ImageResource, QUrl(image.captured(1)),
                             QImage::fromData(QByteArray::fromBase64(image.captured(2).toLatin1())));
    }
    document.setHtml(page);
    document.setTextWidth(760);
    const int height = std::min(1400, static_cast<int>(document.size().height()));
    QImage picture(760, height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    document.drawContents(&painter, QRectF(0, 0, 760, height));
    painter.end();
    return Write(dir, "report.png", picture);
}

// The Journal window after the Send of the Compare picture: the newest record selected.
bool SaveJournal(const std::string& dir) {
    QAction* journal = MenuAction("actionJournal");
    if (journal != nullptr) journal->trigger();
    QWidget* window = TopLevel("journalWindow");
    const bool saved = window != nullptr && SaveWindow(dir, "journal.png", window);
    if (window != nullptr) window->close();
    return saved;
}

bool SaveOverlay(const std::string& dir);
bool SaveRecording(const std::string& dir);  // below

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir settings;
    // Offscreen, a desktop screen of 1920x1080 instead of the platform's 800x600, so the
    // windows take the sizes and places they take on an operator's screen.
    const QString screenConfig = settings.filePath(QStringLiteral("screen.json"));
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        QFile config(screenConfig);
        if (config.open(QIODevice::WriteOnly))
            config.write(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1920,)"
                         R"( "height": 1080, "logicalDpi": 96, "dpr": 1}]})");
        config.close();
        qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screenConfig).toUtf8());
    }
    QApplication app(argc, argv);
    const std::string dir = argc > 1 ? argv[1] : ".";
    // The program as a first start shows it: nothing remembered from the user's own runs.
    qputenv("KERVANO_SCOPE_SETTINGS", settings.filePath(QStringLiteral("settings.ini")).toUtf8());
    // Nor the user's journal: the Journal window shows this run's writes only.
    qputenv("XDG_DATA_HOME", settings.filePath(QStringLiteral("data")).toUtf8());

    sim::PtyServer controller(sim::Faults{}, 19200);
    const std::string device = controller.startPty();
    if (device.empty()) {
        std::fprintf(stderr, "cannot start the simulated controller\n");
        return 1;
    }
    PortTablePin(1, device, "built-in simulated controller");

    bool ok = true;
    const auto check = [&ok](bool done, const char* what) {
        if (!done) std::fprintf(stderr, "%s\n", what);
        ok = ok && done;
    };
    const int code = RunProgram([&] {
        check(Save(dir, "startup.png"), "startup.png");

        // The traffic pane open below the controls during Run, then the charts alone. Each
        // picture holds the loop up while it is taken, so the charts run a whole screen of
        // replies (about four seconds) after one before the next.
        QAction* traffic = MenuAction("actionTraffic");
        check(traffic != nullptr, "no View > Traffic item");
        QTimer::singleShot(500, [&] {
            if (traffic != nullptr) traffic->setChecked(true);
        });
        QTimer::singleShot(4800, [&] {
            QWidget* pane = kervano::TrafficPane();
            check(pane != nullptr && pane->isVisible() && Save(dir, "traffic.png"), "traffic.png");
            if (traffic != nullptr) traffic->setChecked(false);
        });
        // The line's figures after some seconds of Run.
        QTimer::singleShot(9000, [&] {
            kervano::ShowLineFigures();
            QWidget* figures = TopLevel("lineFiguresWindow");
            check(figures != nullptr && SaveWindow(dir, "line-figures.png", figures),
                  "line-figures.png");
            if (figures != nullptr) figures->close();
        });
        QTimer::singleShot(9500, [&] {
            check(Save(dir, "monitor.png"), "monitor.png");
            ClickControl(PANEL_BTNSTOP);
        });
        ClickControl(PANEL_BTNRUN);
        ClickControl(PANEL_BTNDATA);
        check(Save(dir, "capture.png"), "capture.png");

        QAction* history = MenuAction("actionStatusHistory");
        check(history != nullptr, "no status history item");
        if (history != nullptr) history->trigger();
        QWidget* historyWindow = TopLevel("statusHistoryWindow");
        check(historyWindow != nullptr && SaveWindow(dir, "status-history.png", historyWindow),
              "status-history.png");
        if (historyWindow != nullptr) historyWindow->close();

        Panel()->resize(1366, 768);
        check(Save(dir, "window-1366x768.png"), "window-1366x768.png");
        // The same window with the traffic pane open: the controls above it stay whole.
        if (traffic != nullptr) traffic->setChecked(true);
        check(Save(dir, "traffic-1366x768.png"), "traffic-1366x768.png");
        if (traffic != nullptr) traffic->setChecked(false);

        // Something to compare: RAM gets a new refTOP, then tolTOP is edited and not sent.
        SetCtrlVal(kervano::panelHandle, PANEL_REFTOP, 620u);
        ClickControl(PANEL_BTNSEND);
        Settle();
        SetCtrlVal(kervano::panelHandle, PANEL_TOLTOP, 60u);
        QAction* compare = MenuAction("actionCompare");
        check(compare != nullptr, "no Controller > Compare... item");
        if (compare != nullptr) compare->trigger();
        QWidget* compareWindow = TopLevel("compareWindow");
        check(compareWindow != nullptr && SaveWindow(dir, "compare.png", compareWindow),
              "compare.png");
        if (compareWindow != nullptr) compareWindow->close();
        // The panel with that edit still unsent: the marked field and the frame's line.
        check(Save(dir, "unsent-changes.png"), "unsent-changes.png");
        check(SaveReportPage(dir, settings.filePath(QStringLiteral("report.html")).toStdString()),
              "report.png");
        check(SaveJournal(dir), "journal.png");
        check(SaveOverlay(dir), "overlay.png");
        check(SaveRecording(dir), "recording.png");
    });
    return code == 0 && ok ? 0 : 1;
}

namespace {

// A capture with the one before it kept as an overlay. The emulator's curves drift with
// time, so captures a few seconds apart lie visibly apart.
bool SaveOverlay(const std::string& dir) {
    QAction* keep = MenuAction("actionKeepOverlay");
    if (keep == nullptr) return false;
    ClickControl(PANEL_BTNDATA);
    keep->trigger();
    QTest::qWait(2500);
    ClickControl(PANEL_BTNDATA);
    return Save(dir, "overlay.png");
}

// Ten minutes of a recording, slow swings of both channels with one dip, in its window
// with the pointer over the dip.
bool SaveRecording(const std::string& dir) {
    QTemporaryDir folder;
    const std::string path =
        folder.filePath(QStringLiteral("monitor-20260302-140509.csv")).toStdString();
    long long now = 1772456709000LL;
    const long long start = now;
    {
        kervano::MonitorRecorder recorder([&now] { return now; });
        if (!recorder.open(path)) return false;
        for (int row = 0; row < 16000; ++row) {
            now = start + row * 75 / 2;
            unsigned short w[kervano::kMonitorWords] = {};
            for (int k = 0; k < 4; ++k) {
                const double swing = std::sin(row / 900.0 + k * 1.3) *
                                     (row > 9000 && row < 9300 && k == 0 ? 0.2 : 1);
                w[k] =
                    static_cast<unsigned short>(30000 + 12000 * swing + (row * 37 + k * 11) % 900);
                w[4 + k] = static_cast<unsigned short>(w[k] / 50);
                w[8 + k] = 900;
            }
            w[12] = static_cast<unsigned short>(row);
            w[15] = static_cast<unsigned short>(row % 129);
            if (!recorder.append(w)) return false;
        }
    }
    QWidget* window = kervano::OpenRecordingWindow(path);
    if (window == nullptr) return false;
    Settle();
    auto* plot = window->findChild<QWidget*>(QStringLiteral("recordingPlot"));
    QTest::mouseMove(plot, QPoint(plot->width() * 9150 / 16000, plot->height() / 3));
    Settle();
    const bool saved = SaveWindow(dir, "recording.png", window);
    window->close();
    return saved;
}

}  // namespace
