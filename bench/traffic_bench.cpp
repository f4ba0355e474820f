// What the traffic pane costs the live monitor: exchanges a second and processor share with
// the pane hidden and shown, in turns, on a pseudo-terminal with the simulated controller
// paced like a 19200-baud line and unpaced (as fast as the machine answers).
//
//   QT_QPA_PLATFORM=offscreen build/bin/traffic_bench [seconds per turn] [rounds]
#include <sys/resource.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "console/commands.h"
#include "console/menus.h"
#include "console/startup.h"
#include "console/traffic_pane.h"
#include "link/port_setup.h"
#include "platform/serial/port_table.h"
#include "platform/serial/serial_port.h"
#include "platform/serial/traffic_tap.h"
#include "platform/ui/traffic_view.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "resources/status_line.h"
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

struct Turn {
    double rate = 0.0;
    double cpu = 0.0;
};

// One run of the live monitor for seconds; its exchanges a second and processor share.
Turn RunMonitor(const sim::PtyServer& controller, double seconds) {
    const int before = controller.framesReceived();
    QTimer::singleShot(static_cast<int>(seconds * 1000),
                       [] { CC_BTNStop(panelHandle, PANEL_BTNSTOP, EVENT_COMMIT, nullptr, 0, 0); });
    const double wall = WallSeconds();
    const double cpu = CpuSeconds();
    CC_BTNRun(panelHandle, PANEL_BTNRUN, EVENT_COMMIT, nullptr, 0, 0);
    const double elapsed = WallSeconds() - wall;
    const Turn turn{(controller.framesReceived() - before) / elapsed,
                    (CpuSeconds() - cpu) / elapsed};
    // The reply to the last request is still on its way when Stop ends the run. Taken in by
    // the next run it would set a second request going, and two exchanges would overlap on
    // the line from then on: it lands here, between the runs, as it would for an operator.
    const double settleUntil = WallSeconds() + 0.2;
    while (WallSeconds() < settleUntil) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return turn;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0.0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int RowsKept(QWidget* pane) {
    auto* table = pane->findChild<QTableView*>(QStringLiteral("trafficTable"));
    return table ? table->model()->rowCount() : -1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;

    SetResourceNames(kPanelResourceNames, kPanelResourceNameCount);
    panelHandle = LoadPanel(0, kPanelResourceFile, PANEL);
    if (panelHandle < 0) {
        std::fprintf(stderr, "panel resource not found beside the program\n");
        return 1;
    }
    InstallPanelMenus();
    InstallTrafficMenu();
    QWidget* pane = TrafficPane();
    InitVars();
    DisplayPanel(panelHandle);

    for (const long baud : {19200L, 0L}) {
        sim::PtyServer controller(sim::Faults{}, baud);
        const std::string device = controller.startPty();
        if (device.empty()) return 1;
        PortTablePin(1, device, "simulated controller");
        pane->hide();
        if (InitRS232(com) != 1) {
            std::fprintf(stderr, "no line: %s\n", szStatus);
            return 1;
        }
        std::printf("%s line, %d turns of %.1f s each way (exchanges/s, processor share):\n",
                    baud > 0 ? "19200-baud" : "unpaced", rounds, seconds);
        std::vector<double> rates[2];
        std::vector<double> shares[2];
        for (int round = 0; round < rounds; ++round) {
            for (const bool shown : {false, true}) {
                pane->setVisible(shown);
                if (TrafficTapped() != shown) return 1;  // the pane listens exactly while shown
                const Turn turn = RunMonitor(controller, seconds);
                rates[shown].push_back(turn.rate);
                shares[shown].push_back(turn.cpu);
                std::printf("  %s %.1f/%.0f%%", shown ? "shown" : "hidden", turn.rate,
                            turn.cpu * 100);
            }
            std::printf("\n");
        }
        const double hidden = Median(rates[0]);
        const double shown = Median(rates[1]);
        std::printf(
            "  median: hidden %.1f/s (%.0f%%), shown %.1f/s (%.0f%%), shown/hidden %.3f; "
            "%d rows kept\n",
            hidden, Median(shares[0]) * 100, shown, Median(shares[1]) * 100, shown / hidden,
            RowsKept(pane));
        pane->hide();
        CloseCom(com);
        controller.stop();
    }

    // What the tap costs each write, read or flush while the pane is shown: a copy.
    pane->show();
    auto* view = static_cast<kvui::TrafficView*>(pane);
    char frame[36] = {0, 0x55, 0, 8};
    const int events = 200000;
    double cpu = CpuSeconds();
    for (int i = 0; i < events; ++i) TapComWrite(1, frame, 36, 36);
    std::printf("tap, per frame heard: %.2f us of processor\n",
                (CpuSeconds() - cpu) / events * 1e6);

    // One update of the shown pane: a batch of rows taken in and the table drawn again, once
    // the window is on screen (a pane never drawn costs nothing to draw).
    for (const double until = WallSeconds() + 0.3; WallSeconds() < until;)
        QApplication::processEvents();
    QWidget* rows = pane->findChild<QTableView*>(QStringLiteral("trafficTable"))->viewport();
    const int updates = 200;
    const int rowsEach = 10;
    cpu = CpuSeconds();
    for (int i = 0; i < updates; ++i) {
        for (int k = 0; k < rowsEach; ++k) TapComWrite(1, frame, 36, 36);
        view->takeHeard();
        rows->repaint();
    }
    std::printf("pane update, %d rows taken in and the table drawn: %.0f us of processor\n",
                rowsEach, (CpuSeconds() - cpu) / updates * 1e6);
    pane->hide();
    DiscardPanel(panelHandle);
    return 0;
}
