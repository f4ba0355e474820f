// The tool as the benchmarks start it (kervano-scope-timed): the program itself, with one
// line on standard output at the first paint of its main panel,
//
//   kervano-scope: panel shown 0.213 s after start (monotonic 8123.456789 s), status "SIM 1.31"
//
// so a benchmark can time launch -> panel with the line's answers on it. The monotonic time
// is CLOCK_MONOTONIC, the clock a launching process can read too; the time after start is
// taken from the kernel's process start time and is good to a clock tick (10 ms). The
// installed program carries none of this.
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_handle.h"
#include "resources/panel_ids.h"

namespace kervano {

namespace {

double ClockSeconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Seconds since this process started, from /proc/self/stat (clock ticks since boot); -1
// when it cannot be read.
double SecondsSinceStart() {
    std::ifstream stat("/proc/self/stat");
    std::string line;
    if (!std::getline(stat, line)) return -1.0;
    // The command name may hold blanks; the fields after it are plain.
    const auto close = line.rfind(')');
    if (close == std::string::npos) return -1.0;
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    // starttime is field 22; the text after ") " starts at field 3.
    for (int i = 3; i < 22 && fields >> field; ++i) {
    }
    unsigned long long ticks = 0;
    if (!(fields >> ticks)) return -1.0;
    return ClockSeconds(CLOCK_BOOTTIME) - static_cast<double>(ticks) / sysconf(_SC_CLK_TCK);
}

// Watches every event of the application until the main panel's first paint.
class FirstPaintWatch : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || reported_ || panelHandle < 0 ||
            watched != PanelWidget(panelHandle))
            return false;
        reported_ = true;
        // Printed once this paint has been handed to the display, not before.
        QTimer::singleShot(0, this, [this] {
            const double monotonic = ClockSeconds(CLOCK_MONOTONIC);
            char status[256] = {};
            GetCtrlVal(panelHandle, PANEL_STATUS, status, sizeof status);
            std::fprintf(stdout,
                         "kervano-scope: panel shown %.3f s after start (monotonic %.6f s), "
                         "status \"%s\"\n",
                         SecondsSinceStart(), monotonic, status);
            std::fflush(stdout);
            QCoreApplication::instance()->removeEventFilter(this);
            deleteLater();
        });
        return false;
    }

  private:
    bool reported_ = false;
};

// Runs as the application object is made, before the panel exists.
void WatchFirstPaint() {
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(new FirstPaintWatch(app));
}

}  // namespace

}  // namespace kervano

namespace {
void WatchFirstPaintAtStart() {
    kervano::WatchFirstPaint();
}
}  // namespace
Q_COREAPP_STARTUP_FUNCTION(WatchFirstPaintAtStart)
