// What opening a long recording costs: an eight-hour recording at the monitor's full rate
// (770,000 rows, written by the monitor recorder itself) is opened in its window and
// painted, several times; then the view is panned, nearly the whole recording shown and
// one minute shown. Prints the figures with their targets, and the process's peak memory.
//
//   QT_QPA_PLATFORM=offscreen build/bin/recording_bench [runs]
#include <sys/resource.h>

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWidget>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/support/figures.h"
#include "console/recording_plot.h"
#include "console/recording_window.h"
#include "scope/monitor_recorder.h"

using namespace kervano;

namespace {

constexpr int kRows = 770000;
constexpr double kReplyMs = 37.5;  // one monitor exchange at 19200 baud
constexpr int kPanSteps = 40;

double Seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

// Slow swings with a little noise, as a sensor gives, through the real recorder.
bool WriteRecording(const std::string& path) {
    long long now = 1772456709000LL;  // 2026-03-02 13:05:09 UTC
    const long long start = now;
    MonitorRecorder recorder([&now] { return now; });
    if (!recorder.open(path)) return false;
    unsigned short words[kMonitorWords] = {};
    for (int row = 0; row < kRows; ++row) {
        now = start + static_cast<long long>(row * kReplyMs);
        const double phase = row / 4000.0;
        for (int k = 0; k < 4; ++k) {
            words[k] = static_cast<unsigned short>(20000 + 15000 * std::sin(phase + k) +
                                                   (row * 7919LL + k * 104729LL) % 500);
            words[4 + k] = static_cast<unsigned short>(words[k] / 66);
            words[8 + k] = 1000;
        }
        words[12] = static_cast<unsigned short>(row);
        words[14] = static_cast<unsigned short>(row / 5000 % 8);
        words[15] = static_cast<unsigned short>(row % 129);
        if (!recorder.append(words)) return false;
    }
    return recorder.close();
}

// Milliseconds per pan step (a repaint each) of plot at its current span, median of steps.
double PanStepMs(RecordingPlot* plot) {
    std::vector<double> steps;
    for (int i = 0; i < kPanSteps; ++i) {
        const double t0 = Seconds();
        plot->view().pan(i % 2 == 0 ? 0.05 : -0.05);
        plot->grab();
        steps.push_back((Seconds() - t0) * 1000.0);
    }
    return bench::Median(steps);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("monitor-8h.csv")).toStdString();
    const double written = Seconds();
    if (!WriteRecording(path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("wrote %d rows (%.1f MB) in %.2f s\n", kRows,
                QFileInfo(QString::fromStdString(path)).size() / 1e6, Seconds() - written);
    const double before = PeakMiB();

    std::vector<double> opens, panWide, panMinute;
    for (int run = 0; run < runs; ++run) {
        const double t0 = Seconds();
        QWidget* window = OpenRecordingWindow(path);
        if (window == nullptr) {
            std::fprintf(stderr, "the recording was refused\n");
            return 1;
        }
        window->grab();  // the first paint: downsampling and drawing of the whole recording
        opens.push_back(Seconds() - t0);
        auto* plot = window->findChild<RecordingPlot*>();
        plot->view().zoom(0.9);  // nearly all of it, so that a pan moves it
        panWide.push_back(PanStepMs(plot));
        plot->view().zoom(60000.0 / plot->view().span());
        panMinute.push_back(PanStepMs(plot));
        delete window;
        QApplication::processEvents();
    }
    const double peak = PeakMiB();

    std::vector<bench::Row> rows;
    const double open = bench::Median(opens);
    rows.push_back({"open 8 h recording (770,000 rows), read to first paint",
                    bench::Spread(opens, "%.2f") + " s", "-", "<= 3 s", "-", open <= 3.0});
    const double wide = bench::Median(panWide);
    rows.push_back({"pan step, 7.2 h shown", bench::Spread(panWide, "%.1f") + " ms", "-",
                    "<= 50 ms", "-", wide <= 50.0});
    const double minute = bench::Median(panMinute);
    rows.push_back({"pan step, 1 min shown", bench::Spread(panMinute, "%.1f") + " ms", "-",
                    "<= 50 ms", "-", minute <= 50.0});
    rows.push_back({"peak memory (getrusage), recording open",
                    bench::Text("%.1f MiB (%.1f before opening)", peak, before), "-", "<= 300 MiB",
                    "-", peak <= 300.0});
    bench::PrintTable(rows);
    return 0;
}
