// Measures what an operator feels: how fast the live monitor runs on a 19200-baud line,
// how much processor the waiting loops take, what one redraw costs, and the memory used.
// Runs offscreen against the built-in simulated controller on a real pseudo-terminal.
//
//   QT_QPA_PLATFORM=offscreen build/bin/monitor_bench [seconds]
#include <sys/resource.h>

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "console/commands.h"
#include "console/startup.h"
#include "link/frame.h"
#include "link/port_setup.h"
#include "platform/serial/port_table.h"
#include "platform/serial/rs232.h"
#include "platform/ui/chart_view_control.h"
#include "platform/ui/userint.h"
#include "resources/panel_ids.h"
#include "scope/monitor.h"
#include "sim/pty_server.h"

using namespace kervano;

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double WallSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

struct Span {
    double wall = WallSeconds();
    double cpu = CpuSeconds();
    double elapsed() const { return WallSeconds() - wall; }
    double cpuShare() const { return (CpuSeconds() - cpu) / elapsed(); }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const double runSeconds = argc > 1 ? std::atof(argv[1]) : 5.0;

    sim::PtyServer controller(sim::Faults{}, 19200);
    const std::string device = controller.startPty();
    if (device.empty()) return 1;
    PortTablePin(1, device, "built-in simulated controller");

    SetResourceNames(kPanelResourceNames, kPanelResourceNameCount);
    panelHandle = LoadPanel(0, kPanelResourceFile, PANEL);
    if (panelHandle < 0) {
        std::fprintf(stderr, "panel resource not found beside the program\n");
        return 1;
    }
    InitVars();
    DisplayPanel(panelHandle);

    Span startUp;
    InitRS232(com);
    std::printf("port set-up (echo, two parameter reads, firmware): %.0f ms, status \"%s\"\n",
                startUp.elapsed() * 1000, szStatus);

    // Live monitor: exchanges a second and processor share while it runs.
    const int framesBefore = controller.framesReceived();
    QTimer::singleShot(static_cast<int>(runSeconds * 1000),
                       [] { CC_BTNStop(panelHandle, PANEL_BTNSTOP, EVENT_COMMIT, nullptr, 0, 0); });
    Span run;
    CC_BTNRun(panelHandle, PANEL_BTNRUN, EVENT_COMMIT, nullptr, 0, 0);
    const double runWall = run.elapsed();
    const double runCpu = run.cpuShare();
    const int exchanges = controller.framesReceived() - framesBefore;
    std::printf(
        "live monitor: %d exchanges in %.2f s = %.1f per second, processor %.0f%% of a core\n",
        exchanges, runWall, exchanges / runWall, runCpu * 100);

    // A wait for a reply that never comes: the loop polls events for 1.5 s.
    controller.stop();
    rx_flag = 0;
    Span wait;
    WaitRxFull();
    std::printf("silent wait (1.5 s time-out): %.2f s, processor %.0f%% of a core\n",
                wait.elapsed(), wait.cpuShare() * 100);

    // One redraw of both strip charts, read-outs and LEDs; the processor time is the steadier
    // figure on a busy machine.
    const int redraws = 2000;
    auto measureRedraws = [&](const char* what) {
        Span draw;
        const double cpu = CpuSeconds();
        for (int i = 0; i < redraws; ++i) {
            for (int k = 0; k < PNUM; ++k)
                pp[k] = static_cast<unsigned short>((i * 7 + k * 31) % 1000);
            PlotRAWValues();
        }
        std::printf("%s: %.1f us each (processor %.1f us) over %d\n", what,
                    draw.elapsed() / redraws * 1e6, (CpuSeconds() - cpu) / redraws * 1e6, redraws);
    };
    measureRedraws("redraw (PlotRAWValues)");
    // The operator paused the strip charts: the history goes on, the drawing waits.
    SetStripChartsPaused(panelHandle, 1);
    measureRedraws("redraw, charts paused");
    SetStripChartsPaused(panelHandle, 0);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory: %.1f MiB\n", usage.ru_maxrss / 1024.0);

    CloseCom(com);
    DiscardPanel(panelHandle);
    return 0;
}
