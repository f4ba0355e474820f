// Makes the README's screenshots: the panel on the built-in simulated controller after
// start-up, during a live monitor run, and after a data capture.
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <string>

#include "console/startup.h"
#include "platform/serial/port_table.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/userint.h"
#include "resources/panel_ids.h"
#include "sim/pty_server.h"
#include "tests/support/app/run_program.h"

namespace {

bool Save(const std::string& dir, const char* name) {
    const std::string path = dir + "/" + name;
    const bool ok = PanelWidget(kervano::panelHandle)->grab().save(QString::fromStdString(path));
    std::printf("%s %s\n", ok ? "wrote" : "could not write", path.c_str());
    return ok;
}

void Click(int control) {
    QTest::mouseClick(CtrlWidget(kervano::panelHandle, control), Qt::LeftButton);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string dir = argc > 1 ? argv[1] : ".";
    // The program as a first start shows it: nothing remembered from the user's own runs.
    QTemporaryDir settings;
    qputenv("KERVANO_SCOPE_SETTINGS", settings.filePath(QStringLiteral("settings.ini")).toUtf8());

    sim::PtyServer controller(sim::Faults{}, 19200);
    const std::string device = controller.startPty();
    if (device.empty()) {
        std::fprintf(stderr, "cannot start the simulated controller\n");
        return 1;
    }
    PortTablePin(1, device, "built-in simulated controller");

    bool ok = true;
    const int code = RunProgram([&] {
        ok = Save(dir, "startup.png") && ok;
        // Let the monitor run long enough to fill both charts, photograph it, then stop.
        QTimer::singleShot(4500, [&] {
            ok = Save(dir, "monitor.png") && ok;
            Click(PANEL_BTNSTOP);
        });
        Click(PANEL_BTNRUN);
        Click(PANEL_BTNDATA);
        ok = Save(dir, "capture.png") && ok;
    });
    return code == 0 && ok ? 0 : 1;
}
