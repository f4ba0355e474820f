#include "bench/support/tool_launch.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "bench/support/process_stats.h"
#include "tests/support/child_process.h"

namespace bench {

namespace {

constexpr double kSettleSeconds = 1.0;  // after the first paint, before idle is measured

// The value after key in line, or -1.
double NumberAfter(const std::string& line, const std::string& key) {
    const auto at = line.find(key);
    return at == std::string::npos ? -1.0 : std::atof(line.c_str() + at + key.size());
}

std::string QuotedAfter(const std::string& line, const std::string& key) {
    const auto at = line.find(key + "\"");
    if (at == std::string::npos) return "";
    const auto start = at + key.size() + 1;
    return line.substr(start, line.rfind('"') - start);
}

void Sleep(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

}  // namespace

Launch LaunchTool(const std::string& binDir, double idleSeconds) {
    Launch result;
    ChildProcess sim(binDir + "/kervano-sim", {"--baud", "19200"});
    const std::string device = sim.firstLine();
    if (device.empty()) {
        result.problem = "kervano-sim did not start";
        return result;
    }
    // A settings file of its own: what earlier runs remembered (a window size) stays out.
    const std::string settings =
        "KERVANO_SCOPE_SETTINGS=/tmp/monitor_bench-" + std::to_string(getpid()) + ".conf";
    std::remove(settings.c_str() + settings.find('=') + 1);
    const double launchedAt = MonotonicSeconds();
    ChildProcess tool(binDir + "/kervano-scope-timed", {"--port", "1=" + device},
                      {"QT_ACCESSIBILITY=0", settings});
    const std::string line = tool.firstLine(10.0);
    const double shownAt = NumberAfter(line, "(monotonic ");
    if (shownAt < 0) {
        result.problem = "kervano-scope reported no panel: " + tool.readAll(true, 0.5);
        return result;
    }
    result.shownSeconds = shownAt - launchedAt;
    result.status = QuotedAfter(line, "status ");
    if (idleSeconds > 0) {
        Sleep(kSettleSeconds);
        const CpuSpan idle(tool.pid());
        Sleep(idleSeconds);
        result.idleShare = idle.share();
    }
    result.peakMiB = PeakResidentMiB(tool.pid());
    tool.finish(SIGTERM);
    sim.finish(SIGTERM);
    std::remove(settings.c_str() + settings.find('=') + 1);
    result.ok = true;
    return result;
}

}  // namespace bench
