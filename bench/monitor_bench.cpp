// What an operator's machine sees of the tool, against kervano-sim paced like a 19200-baud
// line in both directions, on whatever display the environment gives (scripts/bench runs
// it on Xvfb with accessibility off):
//
// - the real kervano-scope, launched: launch -> panel with parameters and firmware text,
//   processor share while idle with the port open, its peak memory;
// - the tool's code in this process with the real panel: the live monitor's rate, its
//   turn-around from a reply's read to the next request's write, its processor share,
//   a data capture, and the monitor against an emulator that answers at once.
//
// Each figure is measured over several runs and the median is printed in a table with its
// limit and target. --soak runs the unpaced monitor for a long time and follows memory.
//
//   monitor_bench [--runs N] [--seconds S] [--soak SECONDS]
#include <signal.h>
#include <sys/utsname.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/figures.h"
#include "bench/support/process_stats.h"
#include "bench/support/timed_com_service.h"
#include "bench/support/tool_launch.h"
#include "console/commands.h"
#include "console/port_watch.h"
#include "console/startup.h"
#include "link/frame.h"
#include "link/port_setup.h"
#include "platform/serial/port_table.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "resources/status_line.h"
#include "scope/monitor.h"
#include "tests/support/child_process.h"
#include "tests/support/ser2net_server.h"

using namespace kervano;
using bench::Row;
using bench::Text;

namespace {

constexpr double kBaud = 19200;
constexpr double kByteSeconds = 10.0 / kBaud;  // start bit, eight data bits, stop bit
constexpr int kFrame = 36;
constexpr int kBlockReply = 128;
constexpr int kFirmwareReply = 64;
constexpr double kEchoDelay = 0.05;  // the echo check reads its reply this long after writing
constexpr const char* kFirmwareText = "SIM 1.31";

// What the line needs: one monitor exchange; a capture (one exchange and four blocks);
// start-up (the echo check, two parameter reads and the firmware information).
constexpr double kExchangeSeconds = 2 * kFrame * kByteSeconds;
constexpr double kCaptureSeconds = kExchangeSeconds + 4 * (kFrame + kBlockReply) * kByteSeconds;
constexpr double kStartSeconds = std::max(kEchoDelay, kExchangeSeconds) + 2 * kExchangeSeconds +
                                 (kFrame + kFirmwareReply) * kByteSeconds;

struct Options {
    int runs = 3;
    double seconds = 10.0;
    double soak = 0.0;
    std::string only = "launch,monitor,network,unpaced";  // the parts to run
    bool wants(const char* part) const { return only.find(part) != std::string::npos; }
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        const std::string text = argv[++i];
        const double value = std::atof(text.c_str());
        if (arg == "--runs" && value >= 1) {
            options.runs = static_cast<int>(value);
        } else if (arg == "--seconds" && value > 0) {
            options.seconds = value;
        } else if (arg == "--soak" && value > 0) {
            options.soak = value;
        } else if (arg == "--only") {
            options.only = text;
        } else {
            return false;
        }
    }
    return true;
}

std::string FirstLineOf(const char* path, const std::string& key) {
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line))
        if (line.rfind(key, 0) == 0)
            return line.substr(line.find_first_not_of(" \t:=", key.size()));
    return "?";
}

void PrintMachine() {
    utsname system{};
    uname(&system);
    std::string os = FirstLineOf("/etc/os-release", "PRETTY_NAME");
    os.erase(std::remove(os.begin(), os.end(), '"'), os.end());
    std::printf("machine: %s, %u cores, %s, Linux %s; Qt %s on \"%s\"\n",
                FirstLineOf("/proc/cpuinfo", "model name").c_str(),
                std::thread::hardware_concurrency(), os.c_str(), system.release, qVersion(),
                qPrintable(QGuiApplication::platformName()));
}

// Runs the event loop for a while, as the tool's would between commands.
void Pump(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

// An emulator child process, paced (baud > 0) or answering at once.
struct Emulator {
    std::unique_ptr<ChildProcess> process;
    std::string device;
    Emulator() = default;
    Emulator(Emulator&&) = default;
    ~Emulator() {
        if (process) process->finish(SIGTERM);
    }
};

Emulator StartEmulator(const std::string& binDir, long baud) {
    Emulator emulator;
    std::vector<std::string> args;
    if (baud > 0) args = {"--baud", std::to_string(baud)};
    emulator.process = std::make_unique<ChildProcess>(binDir + "/kervano-sim", args);
    emulator.device = emulator.process->firstLine();
    return emulator;
}

// Brings the panel up on the first call (as start-up does: load, InitVars, port set-up,
// show) and moves COM1 to device on later ones. True when the controller answered.
bool ConnectTo(const std::string& device) {
    PortTablePin(1, device, "benchmark emulator");
    if (panelHandle < 0) {
        SetResourceNames(kPanelResourceNames, kPanelResourceNameCount);
        panelHandle = LoadPanel(0, kPanelResourceFile, PANEL);
        if (panelHandle < 0) return false;
        InitVars();
        InitRS232(com);
        DisplayPanel(panelHandle);
        Pump(0.5);
    } else {
        CloseCom(com);
        InitRS232(com);
        Pump(0.1);
    }
    return std::strcmp(szStatus, kFirmwareText) == 0;
}

struct MonitorRun {
    double rate = 0.0;      // exchanges a second
    double cpuShare = 0.0;  // of one core
    std::vector<double> turnArounds;
    std::vector<double> periods;  // from one reply to the next
};

// Runs the live monitor for seconds (Stop comes as the operator's would, from an event).
MonitorRun RunMonitor(TimedComService& serial, double seconds,
                      const std::function<void()>& everyFewSeconds = {}, bool details = true) {
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout,
                     [] { CC_BTNStop(panelHandle, PANEL_BTNSTOP, EVENT_COMMIT, nullptr, 0, 0); });
    stop.start(static_cast<int>(seconds * 1000));
    QTimer sample;
    if (everyFewSeconds) {
        QObject::connect(&sample, &QTimer::timeout, everyFewSeconds);
        sample.start(5000);
    }
    serial.startTiming(details);
    const bench::CpuSpan span;
    CC_BTNRun(panelHandle, PANEL_BTNRUN, EVENT_COMMIT, nullptr, 0, 0);
    MonitorRun run;
    run.cpuShare = span.share();
    serial.stopTiming();
    const double spanned = serial.lastReplyAt() - serial.firstReplyAt();
    if (serial.replies() > 1 && spanned > 0)
        run.rate = static_cast<double>(serial.replies() - 1) / spanned;
    const std::vector<double>& times = serial.replyTimes();
    for (size_t i = 1; i < times.size(); ++i) run.periods.push_back(times[i] - times[i - 1]);
    run.turnArounds = serial.turnArounds();
    Pump(0.2);
    return run;
}

// One capture, from the Data command to the graphs drawn (their pixels follow at the next
// frame of the display); 0 when a block was missing.
double TimeCapture() {
    const double start = bench::MonotonicSeconds();
    CC_BTNData(panelHandle, PANEL_BTNDATA, EVENT_COMMIT, nullptr, 0, 0);
    const double spent = bench::MonotonicSeconds() - start;
    Pump(0.1);
    return std::strcmp(szStatus, "Data[64] block received!") == 0 ? spent : 0.0;
}

std::string Ratio(double measured, double limit) {
    return Text("%.3f", measured / limit);
}

// The figures, each a list of the runs' values.
struct Figures {
    std::vector<double> shown, idle, toolPeak;             // launched tool: s, %, MiB
    std::vector<double> rates, cpu, turnAround, captures;  // paced: /s, %, ms, ms
    std::vector<double> fast;                              // unpaced: /s
    std::vector<double> raw, telnet;  // paced, through ser2net raw TCP and RFC 2217: /s
};

bool MeasureLaunches(const std::string& binDir, const Options& options, Figures& f) {
    for (int i = 0; i < std::max(options.runs, 5); ++i) {
        const bench::Launch launch =
            bench::LaunchTool(binDir, i < options.runs ? options.seconds : 0);
        if (!launch.ok || launch.status != kFirmwareText) {
            std::fprintf(stderr, "monitor_bench: launch failed: %s (status \"%s\")\n",
                         launch.problem.c_str(), launch.status.c_str());
            return false;
        }
        f.shown.push_back(launch.shownSeconds);
        if (launch.idleShare >= 0) f.idle.push_back(launch.idleShare * 100);
        f.toolPeak.push_back(launch.peakMiB);
        std::printf("launch %d: panel shown after %.3f s%s\n", i + 1, launch.shownSeconds,
                    launch.idleShare >= 0
                        ? Text(", idle %.2f %% of a core", launch.idleShare * 100).c_str()
                        : "");
        std::fflush(stdout);
    }
    return true;
}

// What one redraw costs the program on its own (the painting follows at the next frame).
void MeasureRedraw() {
    constexpr int kRedraws = 2000;
    const bench::CpuSpan span;
    for (int i = 0; i < kRedraws; ++i) {
        for (int k = 0; k < PNUM; ++k) pp[k] = static_cast<unsigned short>((i * 7 + k * 31) % 1000);
        PlotRAWValues();
    }
    std::printf("redraw (PlotRAWValues): %.1f us of processor each, over %d\n",
                span.share() * span.seconds() / kRedraws * 1e6, kRedraws);
    Pump(0.1);
}

bool MeasurePaced(TimedComService& serial, const std::string& binDir, const Options& options,
                  Figures& f) {
    Emulator paced = StartEmulator(binDir, static_cast<long>(kBaud));
    if (paced.device.empty() || !ConnectTo(paced.device)) {
        std::fprintf(stderr, "monitor_bench: no controller on the paced emulator\n");
        return false;
    }
    for (int i = 0; i < options.runs; ++i) {
        const MonitorRun run = RunMonitor(serial, options.seconds);
        f.rates.push_back(run.rate);
        f.cpu.push_back(run.cpuShare * 100);
        f.turnAround.push_back(bench::Median(run.turnArounds) * 1000);
        std::vector<double> periods = run.periods;
        std::sort(periods.begin(), periods.end());
        std::printf(
            "monitor %d: %.2f exchanges/s, %.2f %% of a core, turn-around median %.3f ms; "
            "exchange median %.2f ms, 90 %% %.2f ms, longest %.1f ms\n",
            i + 1, run.rate, run.cpuShare * 100, f.turnAround.back(), bench::Median(periods) * 1000,
            periods[periods.size() * 9 / 10] * 1000, periods.back() * 1000);
        for (int k = 0; k < 3; ++k) {
            f.captures.push_back(TimeCapture() * 1000);
            std::printf("capture: %.1f ms\n", f.captures.back());
        }
        std::fflush(stdout);
    }
    MeasureRedraw();
    return true;
}

// The live monitor through the real ser2net in front of the paced emulator: raw TCP and
// RFC 2217, beside the local pseudo-terminal of MeasurePaced.
bool MeasureNetwork(TimedComService& serial, const std::string& binDir, const Options& options,
                    Figures& f) {
    Emulator paced = StartEmulator(binDir, static_cast<long>(kBaud));
    for (const bool telnet : {false, true}) {
        Ser2netServer server(paced.device, telnet);
        if (paced.device.empty() || !server.start() || !ConnectTo(server.address())) {
            std::fprintf(stderr, "monitor_bench: no controller through ser2net (%s)\n",
                         telnet ? "rfc2217" : "raw");
            return false;
        }
        for (int i = 0; i < options.runs; ++i) {
            const MonitorRun run = RunMonitor(serial, options.seconds);
            (telnet ? f.telnet : f.raw).push_back(run.rate);
            std::printf("ser2net %s monitor %d: %.2f exchanges/s, %.2f %% of a core\n",
                        telnet ? "rfc2217" : "raw", i + 1, run.rate, run.cpuShare * 100);
            std::fflush(stdout);
        }
        CloseCom(com);
    }
    return true;
}

bool MeasureUnpaced(TimedComService& serial, const std::string& binDir, const Options& options,
                    Figures& f) {
    Emulator unpaced = StartEmulator(binDir, 0);
    if (unpaced.device.empty() || !ConnectTo(unpaced.device)) {
        std::fprintf(stderr, "monitor_bench: no controller on the unpaced emulator\n");
        return false;
    }
    for (int i = 0; i < options.runs; ++i) {
        const MonitorRun run = RunMonitor(serial, std::min(options.seconds, 5.0));
        f.fast.push_back(run.rate);
        std::printf("unpaced monitor %d: %.0f exchanges/s, %.1f %% of a core\n", i + 1, run.rate,
                    run.cpuShare * 100);
        std::fflush(stdout);
    }
    return true;
}

void PrintFigures(const Figures& f, const Options& options) {
    const double limitRate = 1.0 / kExchangeSeconds;
    const double rate = bench::Median(f.rates);
    const double capture = bench::Median(f.captures) / 1000;
    const double start = bench::Median(f.shown);
    const bool captured = std::count(f.captures.begin(), f.captures.end(), 0.0) == 0;
    const double benchPeak = bench::PeakResidentMiB();
    const double toolPeak =
        f.toolPeak.empty() ? 0.0 : *std::max_element(f.toolPeak.begin(), f.toolPeak.end());
    const double peak = std::max(benchPeak, toolPeak);
    std::vector<Row> rows;
    if (!f.rates.empty()) {
        rows.push_back({"live monitor exchanges per second", bench::Spread(f.rates, "%.2f") + " /s",
                        Text("%.2f /s", limitRate), ">= 0.99 x limit", Ratio(rate, limitRate),
                        rate >= 0.99 * limitRate});
        rows.push_back({"reply -> next request, median",
                        bench::Spread(f.turnAround, "%.3f") + " ms", "0", "<= 0.3 ms", "-",
                        bench::Median(f.turnAround) <= 0.3});
        rows.push_back({"CPU while the monitor runs", bench::Spread(f.cpu, "%.2f") + " %", "0",
                        "<= 5 % of one core", "-", bench::Median(f.cpu) <= 5.0});
    }
    if (!f.idle.empty())
        rows.push_back({"CPU while idle, port open", bench::Spread(f.idle, "%.2f") + " %", "0",
                        "<= 0.5 %", "-", bench::Median(f.idle) <= 0.5});
    if (!f.captures.empty())
        rows.push_back({"data capture", bench::Spread(f.captures, "%.0f") + " ms",
                        Text("%.0f ms", kCaptureSeconds * 1000), "<= 1.05 x limit",
                        Ratio(capture, kCaptureSeconds),
                        captured && capture <= 1.05 * kCaptureSeconds});
    if (!f.shown.empty())
        rows.push_back({"launch -> panel with parameters and firmware",
                        bench::Spread(f.shown, "%.3f") + " s",
                        Text("%.3f s of line time", kStartSeconds), "<= 0.25 s",
                        Ratio(start, kStartSeconds), start <= 0.25});
    for (const bool telnet : {false, true}) {
        const std::vector<double>& rates = telnet ? f.telnet : f.raw;
        if (rates.empty()) continue;
        const double median = bench::Median(rates);
        rows.push_back({telnet ? "live monitor through ser2net, RFC 2217"
                               : "live monitor through ser2net, raw TCP",
                        bench::Spread(rates, "%.2f") + " /s", Text("%.2f /s", limitRate),
                        ">= 0.95 x limit", Ratio(median, limitRate), median >= 0.95 * limitRate});
    }
    if (!f.fast.empty())
        rows.push_back({"unpaced monitor, redraw included", bench::Spread(f.fast, "%.0f") + " /s",
                        "-", ">= 1000 /s", "-", bench::Median(f.fast) >= 1000});
    rows.push_back({"peak memory", Text("%.1f MiB", peak), "-", "<= 60 MiB", "-", peak <= 60});

    std::printf("\nmedians of %d runs (launch: %zu), range in brackets\n\n", options.runs,
                f.shown.size());
    bench::PrintTable(rows);
    std::printf(
        "\nreply -> next request: measured in this process, from the receive notification's "
        "read of a reply\nto the return of the next request's write.\npeak memory: the larger "
        "of this process (%.1f MiB) and the launched tool (%.1f MiB).\n",
        benchPeak, toolPeak);
}

int Soak(TimedComService& serial, const std::string& binDir, double seconds) {
    Emulator emulator = StartEmulator(binDir, 0);
    if (emulator.device.empty() || !ConnectTo(emulator.device)) {
        std::fprintf(stderr, "monitor_bench: no controller on the unpaced emulator\n");
        return 1;
    }
    std::printf("soak: live monitor against the unpaced emulator for %.0f s, RSS every 5 s\n",
                seconds);
    struct Sample {
        double at;
        double rss;
        long exchanges;
    };
    std::vector<Sample> samples;
    const double start = bench::MonotonicSeconds();
    auto sample = [&] {
        samples.push_back(
            {bench::MonotonicSeconds() - start, bench::ResidentMiB(), serial.replies()});
        const Sample& s = samples.back();
        std::printf("  %6.0f s  RSS %6.2f MiB  %9ld exchanges\n", s.at, s.rss, s.exchanges);
        std::fflush(stdout);
    };
    sample();
    const MonitorRun run = RunMonitor(serial, seconds, sample, false);
    sample();
    const Sample* minute = &samples.back();
    for (const Sample& s : samples) {
        if (s.at >= 60.0) {
            minute = &s;
            break;
        }
    }
    double highest = minute->rss;
    for (const Sample& s : samples)
        if (s.at >= minute->at) highest = std::max(highest, s.rss);
    const double growth = samples.back().rss - minute->rss;
    std::printf("soak: %ld exchanges in %.0f s (%.0f a second, %.1f %% of a core)\n",
                serial.replies(), samples.back().at, run.rate, run.cpuShare * 100);
    std::printf(
        "soak: RSS after the first minute %.2f MiB, final %.2f MiB, highest after the "
        "first minute %.2f MiB: growth %+.2f MiB (limit +1 MiB) %s\n",
        minute->rss, samples.back().rss, highest, growth,
        growth <= 1.0 && highest - minute->rss <= 1.0 ? "met" : "NOT MET");
    std::printf("soak: peak memory %.1f MiB\n", bench::PeakResidentMiB());
    CloseCom(com);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: monitor_bench [--runs N] [--seconds S] [--soak SECONDS]\n"
                     "                     [--only launch,monitor,network,unpaced]\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("kervano-scope");
    const std::string binDir = QCoreApplication::applicationDirPath().toStdString();
    PrintMachine();

    // Every serial call of the program goes through the timing back end; the port watch
    // runs as in the tool.
    TimedComService serial;
    SetComService(&serial);
    StartPortWatch();
    if (options.soak > 0) return Soak(serial, binDir, options.soak);

    Figures figures;
    if (options.wants("launch") && !MeasureLaunches(binDir, options, figures)) return 1;
    if (options.wants("monitor") && !MeasurePaced(serial, binDir, options, figures)) return 1;
    if (options.wants("network") && !MeasureNetwork(serial, binDir, options, figures)) return 1;
    if (options.wants("unpaced") && !MeasureUnpaced(serial, binDir, options, figures)) return 1;
    CloseCom(com);
    PrintFigures(figures, options);
    return 0;
}
