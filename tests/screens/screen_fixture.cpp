#include "tests/screens/screen_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <utility>

#include "console/commands.h"
#include "console/settings.h"
#include "console/startup.h"
#include "platform/serial/port_table.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "tests/support/app/run_program.h"

using namespace kervano;

ScreenTest::ScreenTest()
    : store(kSettingsFileVariable, dir.filePath(QStringLiteral("settings.ini")).toUtf8()) {}

void ScreenTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    SetComService(&line);
    PortTableSetScan([] { return std::vector<PortEntry>{{0, "/dev/ttyKV0", "adapter"}}; });
}

void ScreenTest::TearDown() {
    PortTableSetScan({});
    PortTableClearPins();
    SetComService(nullptr);
}

void ScreenTest::RunOnce(const std::function<void()>& whileRunning) {
    PortTableClearPins();
    ASSERT_EQ(RunProgram(whileRunning), 0);
}

void ScreenTest::RunMonitor(double seconds,
                            std::vector<std::pair<double, std::function<void()>>> at) {
    const double start = line.now();
    for (auto& [offset, action] : at) line.at(start + offset, std::move(action));
    line.at(start + seconds,
            [] { CC_BTNStop(panelHandle, PANEL_BTNSTOP, EVENT_COMMIT, nullptr, 0, 0); });
    CC_BTNRun(panelHandle, PANEL_BTNRUN, EVENT_COMMIT, nullptr, 0, 0);
}

QWidget* ScreenTest::Window() {
    return PanelWidget(panelHandle);
}

QRect ScreenTest::Available() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

QImage ScreenTest::Grab(const char* name) {
    // What is pending (a layout, the charts' new scale) is drawn as the next frame would.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::processEvents();
    const QImage image = Window()->grab().toImage();
    const QString folder = QDir(QCoreApplication::applicationDirPath()).filePath("screens");
    QDir().mkpath(folder);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    image.save(QStringLiteral("%1/%2-%3x%4.png")
                   .arg(folder, QLatin1String(name))
                   .arg(screen.width())
                   .arg(screen.height()));
    return image;
}
