// The tool in the field, with kervano-sim behind a real pseudo-terminal: one owner per device
// whatever name it is reached by, signals that end the program in order, a file size limit
// that fails a write as a full disk does.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "console/signal_exit.h"
#include "console/signal_quit.h"
#include "console/startup.h"
#include "platform/files/file_service.h"
#include "platform/serial/com_service.h"
#include "platform/serial/port_table.h"
#include "platform/ui/event_loop.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "scope/monitor_recording.h"
#include "tests/support/app/run_program.h"
#include "tests/support/child_process.h"
#include "tests/support/csv_reader.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/read_text.h"
#include "tests/support/sim_program.h"

using namespace kervano;

namespace {

constexpr const char* kTool = KV_BIN_DIR "/kervano-scope";
const std::vector<std::string> kHeadless = {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="};
const std::vector<std::string> kOffscreen = {"QT_QPA_PLATFORM=offscreen"};

// 1 while the line is in the exclusive mode its owner set, 0 when something took it away.
int LineExclusive(const std::string& device) {
#ifdef TIOCGEXCL
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno == EBUSY ? 1 : -1;  // without privileges, exclusive turns us away
    int exclusive = -1;
    if (::ioctl(fd, TIOCGEXCL, &exclusive) != 0) exclusive = -1;
    ::close(fd);
    return exclusive;
#else
    (void)device;
    return 1;
#endif
}

class PtyField : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        StartSim();
    }
    void TearDown() override { PortTableClearPins(); }

    // A fresh controller behind COM1, its log empty.
    void StartSim() {
        sim = std::make_unique<SimProgram>();
        ASSERT_TRUE(sim->started());
        SetComService(nullptr);
        PortTableClearPins();
        PortTablePin(1, sim->device(), "kervano-sim");
    }
    std::string File(const char* name) const {
        return dir.filePath(QString::fromLatin1(name)).toStdString();
    }
    // Another instance gets the controller at once: the port and its lock were released.
    void ExpectPortFree() {
        ChildProcess next(
            kTool, {"--port", "1=" + sim->device(), "--read-params", File("next.dat")}, kHeadless);
        const std::string errors = next.readAll(true, 10.0);
        EXPECT_TRUE(ExitedWith(next.finish(0, 5.0), 0)) << errors;
    }

    QTemporaryDir dir;
    std::unique_ptr<SimProgram> sim;
};

}  // namespace

TEST_F(PtyField, ASecondInstanceThroughALinkIsTurnedAwayWhileTheFirstMonitors) {
    const std::string link = File("usb-KERVANO_controller-if00");
    ASSERT_EQ(symlink(sim->device().c_str(), link.c_str()), 0);
    std::unique_ptr<ChildProcess> second;
    int secondStatus = -1, exclusive = -1, ticks = 0, ticksAfter = 0;
    std::string status;
    EXPECT_EQ(RunProgram([&] {
                  // While the monitor runs: the second instance, through the link, then a
                  // second more of the monitor after it ended.
                  QTimer watch;
                  watch.setInterval(20);
                  QObject::connect(&watch, &QTimer::timeout, [&] {
                      if (!second) {
                          second = std::make_unique<ChildProcess>(
                              kTool,
                              std::vector<std::string>{"--port", "1=" + link, "--read-params",
                                                       File("second.dat")},
                              kHeadless);
                      } else if (secondStatus == -1) {
                          secondStatus = second->finish(0, 0.001);
                          if (secondStatus != -1) exclusive = LineExclusive(sim->device());
                      }
                      if (secondStatus != -1) ++ticksAfter;
                      if (ticksAfter == 50 || ++ticks == 500) ClickControl(PANEL_BTNSTOP);
                  });
                  watch.start();
                  ClickControl(PANEL_BTNRUN);  // returns once Stop has ended the monitor
                  status = StatusLineText();
              }),
              0);
    ASSERT_NE(secondStatus, -1) << "the second instance did not end";
    EXPECT_TRUE(ExitedWith(secondStatus, 1));
    const std::string errors = second->readAll(true, 1.0);
    EXPECT_NE(errors.find("Cannot open port (" + sim->device() + " is in use by process " +
                          std::to_string(getpid()) + " ("),
              std::string::npos)
        << errors;
    EXPECT_EQ(exclusive, 1) << "the second instance took the line's exclusive mode away";
    EXPECT_EQ(status, "Line Ok!") << "the monitor missed a reply";
    const std::vector<int> orders = sim->orders();
    ASSERT_GT(orders.size(), 4u + 20u);
    EXPECT_EQ(std::vector<int>(orders.begin(), orders.begin() + 4), (std::vector<int>{5, 2, 2, 7}));
    EXPECT_EQ(std::count(orders.begin() + 4, orders.end(), 8), static_cast<long>(orders.size() - 4))
        << "nothing on the line but the first instance's monitor";
}

TEST_F(PtyField, SigtermDuringARecordingKeepsEveryRowAndReleasesThePort) {
    const std::string path = File("monitor.csv");
    CatchEndSignals(QuitOnSignal);
    bool quitBySignal = false;
    EXPECT_EQ(RunProgram([&] {
                  ASSERT_EQ(StartMonitorRecording(path.c_str()), 1);
                  WhilePanelLater(1500, [] { kill(getpid(), SIGTERM); });
                  ClickControl(PANEL_BTNRUN);  // returns once the signal has ended the monitor
                  quitBySignal = kvui::QuitRequested();
              }),
              0);
    const int exitStatus = ExitStatusAfterSignal(0);
    ReleaseEndSignals();
    EXPECT_TRUE(quitBySignal);
    EXPECT_EQ(exitStatus, 128 + SIGTERM);
    EXPECT_FALSE(monitorRecording);

    const std::string text = ReadText(path);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    const size_t rows = ReadCsv(text).rows.size();
    const std::vector<int> orders = sim->orders();
    const auto requests = static_cast<size_t>(std::count(orders.begin(), orders.end(), 8));
    // One request is outstanding at a time: each reply drawn is a row, and only the reply
    // to the last request may not have been drawn.
    ASSERT_GE(requests, 2u) << "the monitor never ran";
    EXPECT_LE(rows, requests);
    EXPECT_GE(rows + 1, requests) << "rows of the last second were lost";
    ExpectPortFree();
}

namespace {

struct SignalCase {
    const char* name;
    std::vector<std::string> args;  // after --port 1=DEVICE; none: the panel's life
    const char* after;              // the controller's log line the signal follows
    int signal;
    int exitStatus;
    std::string says;         // all of standard error ("" for the panel: Qt may have its say)
    std::vector<int> orders;  // every request the controller took in
};

}  // namespace

TEST_F(PtyField, SignalsEndTheProgramAfterTheCommandOnTheLineAndSayWhatWasDone) {
    const std::string params = File("line7.dat");
    ASSERT_TRUE(WriteFileWhole(params,
                               "0\n600\n501\n502\n700\n800\n40\n60\n900\n901\n11\n12\n2\n3\n"
                               "100\n1\n"));
    const std::string unread = File("unread.dat");
    const SignalCase cases[] = {
        // Both packets go out (a Send runs to its end); the verify is not begun.
        {"EepromWriteBetweenItsPackets",
         {"--write-params", params, "--to", "eeprom", "--verify"},
         "frame 3 0",
         SIGTERM,
         1,
         "kervano-scope: stopped by SIGTERM after both packets went to EEPROM - not verified\n",
         {5, 2, 2, 7, 4, 3, 3}},
        // The set-up the signal came in finishes; the reads that would follow do not begin.
        {"ReadDuringTheLineCheck",
         {"--read-params", unread, "--from", "eeprom"},
         "frame 5 0",
         SIGINT,
         128 + SIGINT,
         "kervano-scope: stopped by SIGINT - nothing written to " + unread + "\n",
         {5, 2, 2, 7}},
        {"PanelAfterStartUp", {}, "frame 7 1", SIGHUP, 128 + SIGHUP, "", {5, 2, 2, 7}},
    };
    for (const SignalCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartSim();
        std::vector<std::string> args = {"--port", "1=" + sim->device()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        ChildProcess tool(kTool, args, c.args.empty() ? kOffscreen : kHeadless);
        ASSERT_TRUE(sim->waitFor(c.after));
        kill(tool.pid(), c.signal);
        const std::string errors = tool.readAll(true, 10.0);
        const int status = tool.finish(0, 5.0);
        EXPECT_TRUE(ExitedWith(status, c.exitStatus)) << "wait status " << status << "\n" << errors;
        if (!c.says.empty()) {
            EXPECT_EQ(errors, c.says);
        }
        EXPECT_EQ(sim->orders(), c.orders);
        ExpectPortFree();
    }
    EXPECT_FALSE(std::filesystem::exists(unread));
}

TEST_F(PtyField, AFileSizeLimitFailsACaptureAsAFullDiskWouldAndLeavesTheFileUnchanged) {
    const std::string capture = File("capture.csv");
    ASSERT_TRUE(WriteFileWhole(capture, "an earlier capture\n"));
    // Room for the port's lock file, not for the capture's 128 rows.
    ChildProcess tool(kTool, {"--port", "1=" + sim->device(), "--capture", capture}, kHeadless,
                      [] { LimitFileSizeInChild(1024); });
    const std::string errors = tool.readAll(true, 10.0);
    EXPECT_TRUE(ExitedWith(tool.finish(0, 5.0), 2)) << "ended by SIGXFSZ?\n" << errors;
    EXPECT_EQ(errors, "kervano-scope: cannot write " + capture + " - " + std::strerror(EFBIG) +
                          " - file unchanged\n");
    EXPECT_EQ(ReadText(capture), "an earlier capture\n");
}
