#include "console/shown_report.h"

#include <unistd.h>

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
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

class FirstPaintWatch : public QObject {
  public:
    FirstPaintWatch(int panel, QWidget* widget) : QObject(widget), panel_(panel) {
        widget->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            // Printed once this paint has been handed to the display, not before.
            QTimer::singleShot(0, this, [this, watched] {
                const double monotonic = ClockSeconds(CLOCK_MONOTONIC);
                char status[256] = {};
                GetCtrlVal(panel_, PANEL_STATUS, status, sizeof status);
                std::fprintf(stdout,
                             "kervano-scope: panel shown %.3f s after start (monotonic %.6f s), "
                             "status \"%s\"\n",
                             SecondsSinceStart(), monotonic, status);
                std::fflush(stdout);
                watched->removeEventFilter(this);
                deleteLater();
            });
        }
        return false;
    }

  private:
    int panel_;
    bool reported_ = false;
};

}  // namespace

void ArmShownReport(int panel) {
    const char* asked = std::getenv("KERVANO_REPORT_SHOWN");
    if (asked == nullptr || *asked == '\0') return;
    if (QWidget* widget = PanelWidget(panel)) new FirstPaintWatch(panel, widget);
}

}  // namespace kervano
