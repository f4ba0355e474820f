// Faults on a real pseudo-terminal, through the whole program with its panel offscreen: the
// controller going away in the middle of each kind of exchange, bytes no controller should
// send, and ports that cannot serve as a line. Each case ends with the tool answering the
// next command and the status line saying what happened.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <mutex>
#include <thread>

#include "console/commands.h"
#include "console/startup.h"
#include "link/transactions.h"
#include "platform/serial/com_service.h"
#include "platform/serial/port_table.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "sim/controller_model.h"
#include "sim/pty_server.h"
#include "tests/support/app/run_program.h"
#include "tests/support/frames.h"
#include "tests/support/test_pty.h"

using namespace kervano;

namespace {

// The emulator's own pty server as the controller. A script sees every request with the
// model's reply and may reshape the reply or hang the controller up.
class PtyController {
  public:
    using Script = std::function<void(int order, sim::Reply& reply, sim::ControllerModel&)>;

    explicit PtyController(const std::string& firmware) {
        server_.model().firmwareText = firmware;
        server_.setReplyHook(
            [this](int order, const uint8_t*, sim::Reply& reply, sim::ControllerModel& model) {
                Script script;
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    orders_.push_back(order);
                    script = script_;
                }
                if (script) script(order, reply, model);
            });
        path_ = server_.startPty();
    }

    // The device goes away, from the test's thread.
    void unplug() { server_.stop(); }

    const std::string& path() const { return path_; }
    void setScript(Script script) {
        std::lock_guard<std::mutex> lock(mutex_);
        script_ = std::move(script);
    }
    std::vector<int> orders() {
        std::lock_guard<std::mutex> lock(mutex_);
        return orders_;
    }
    // True when every request taken in so far has had its answer sent.
    bool allServed() const { return server_.repliesOwed() == 0; }
    // Waits up to timeoutMs for the device to have gone away.
    bool waitGone(int timeoutMs) {
        for (int waited = 0; !server_.lineClosed() && waited < timeoutMs; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return server_.lineClosed();
    }

  private:
    std::mutex mutex_;
    Script script_;
    std::vector<int> orders_;
    std::string path_;
    sim::PtyServer server_;  // last, so it stops calling the hook before the rest goes
};

// The operator picks port in the selector, as with the mouse.
void ChoosePort(int port) {
    auto* combo = qobject_cast<QComboBox*>(CtrlWidget(panelHandle, PANEL_DROPDCOM));
    ASSERT_NE(combo, nullptr);
    const int index = combo->findData(port);
    ASSERT_GE(index, 0) << "COM" << port << " is not offered";
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// Share of one processor the whole process used while the event loop ran for about 1 s.
double IdleCpuShare() {
    const auto cpu = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    const auto wall0 = std::chrono::steady_clock::now();
    const double cpu0 = cpu();
    QTest::qWait(1000);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    return (cpu() - cpu0) / wall;
}

class PtyFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        link = dir.filePath(QStringLiteral("controller")).toStdString();
        SetComService(nullptr);
        PortTableClearPins();
        PortTablePin(1, link, "controller");
    }
    void TearDown() override { PortTableClearPins(); }

    // A controller behind COM1, serving until its script says otherwise.
    PtyController& Attach(const char* firmware = "PTY 1.31") {
        controllers.push_back(std::make_unique<PtyController>(firmware));
        EXPECT_TRUE(PointLink(link, controllers.back()->path()));
        return *controllers.back();
    }

    QTemporaryDir dir;
    std::string link;
    std::vector<std::unique_ptr<PtyController>> controllers;
};

// ---- The controller goes away ----------------------------------------------------------

struct GoneCase {
    const char* name;
    int order;          // the request during which it goes (0: before the tool starts)
    int answered;       // requests of that order answered before it goes
    int command;        // the control pressed once running (0: start-up itself)
    const char* shown;  // the status text the case ends with
};

// Names the case in test listings, rather than its bytes.
void PrintTo(const GoneCase& c, std::ostream* out) {
    *out << c.name;
}

class ControllerGone : public PtyFaults, public ::testing::WithParamInterface<GoneCase> {};

TEST_P(ControllerGone, IsReportedCostsNoProcessorAndThePortCanBeChosenAgain) {
    const GoneCase& c = GetParam();
    PtyController& first = Attach();
    auto left = std::make_shared<int>(c.answered);  // the script is copied for each call
    first.setScript([&c, left](int order, sim::Reply& reply, sim::ControllerModel& model) {
        if (order != c.order || (*left)-- != 0) return;
        reply.bytes.clear();
        model.hangUp();
    });
    if (c.order == 0) {
        // Its device node goes with it. (A link left to its pty could lead to whichever pty
        // takes the number next, another test's.)
        first.unplug();
        PointLink(link, dir.filePath(QStringLiteral("gone")).toStdString());
    }

    std::string status, backStatus, afterBack;
    double cpuShare = 1.0;
    bool gone = false;
    EXPECT_EQ(RunProgram([&] {
                  if (c.command != 0) ClickControl(c.command);
                  status = StatusLineText();
                  gone = first.waitGone(2000);
                  cpuShare = IdleCpuShare();

                  Attach("BACK 2");
                  ChoosePort(1);
                  backStatus = StatusLineText();
                  // A monitor that timed out keeps the parameters locked until Stop.
                  ClickControl(PANEL_BTNSTOP);
                  ClickControl(PANEL_BTNGET);
                  afterBack = StatusLineText();
              }),
              0);
    EXPECT_TRUE(gone) << "the controller never went away";
    EXPECT_EQ(status, c.shown);
    // A loop that spins takes a whole processor; a sanitized run on a busy machine, with the
    // threads earlier tests left, can take a fifth of one without spinning.
    EXPECT_LT(cpuShare, 0.5) << "the tool spins while the controller is gone";
    EXPECT_EQ(backStatus, "BACK 2");
    EXPECT_EQ(afterBack, "Parameters read from RAM");
    EXPECT_EQ(controllers.back()->orders(), (std::vector<int>{5, 2, 2, 7, 2, 2}));
}

INSTANTIATE_TEST_SUITE_P(
    PtyFaults, ControllerGone,
    ::testing::Values(GoneCase{"BeforeTheTool", 0, 0, 0, "No serial port found"},
                      GoneCase{"DuringTheLineCheck", 5, 0, 0, "Timeout < 36 Bytes"},
                      GoneCase{"DuringTheParameterRead", 2, 0, 0, kParametersNotReadText},
                      GoneCase{"DuringTheFirmwareRead", 7, 0, 0, kFirmwareErrorText},
                      GoneCase{"DuringTheMonitor", 8, 5, PANEL_BTNRUN, kStopHintText},
                      // The blocks before the one that timed out keep their places.
                      GoneCase{"DuringTheDataCapture", 9, 3, PANEL_BTNDATA,
                               "Data incomplete - only 3 of 4 blocks received!"},
                      GoneCase{"DuringTheTeachWait", 6, 0, PANEL_BUTTONTEACH, "Timeout RS-232!!"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Bytes no controller should send -------------------------------------------------

// Reshapes the reply to the requests of the case's order.
using Shape = std::function<void(sim::Reply& reply)>;

struct BadBytesCase {
    const char* name;
    int order;    // the requests whose replies are shaped
    int command;  // the control pressed
    Shape shape;
    const char* shown;  // the status text the command ends with
};

void PrintTo(const BadBytesCase& c, std::ostream* out) {
    *out << c.name;
}

class BadBytes : public PtyFaults, public ::testing::WithParamInterface<BadBytesCase> {};

unsigned PanelWord(int control) {
    unsigned short value = 0;
    GetCtrlVal(panelHandle, control, &value);
    return value;
}

TEST_P(BadBytes, EndWithTheRightTextAndLeaveTheLineUsable) {
    const BadBytesCase& c = GetParam();
    PtyController& controller = Attach();
    std::string status, after;
    unsigned refAtStart = 0, refAfter = 0;
    double seconds = 0;
    bool drained = false;
    EXPECT_EQ(
        RunProgram([&] {
            ASSERT_EQ(StatusLineText(), "PTY 1.31");
            refAtStart = PanelWord(PANEL_REFTOP);
            controller.setScript([&c](int order, sim::Reply& reply, sim::ControllerModel&) {
                if (order == c.order) c.shape(reply);
            });
            const auto start = std::chrono::steady_clock::now();
            ClickControl(c.command);
            seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            status = StatusLineText();

            // The controller mends its ways; whatever it still had to say has been said.
            controller.setScript(nullptr);
            drained = QTest::qWaitFor([&] { return controller.allServed(); }, 10000);
            // Written is not yet arrived: the kernel hands a pty's last bytes on a moment
            // later, on a busy machine many moments. Wait until nothing more comes in.
            for (int before = -1, round = 0; round < 50; ++round) {
                const int now = GetInQLen(com);
                if (now == before) break;
                before = now;
                QTest::qWait(100);
            }
            ClickControl(PANEL_BTNGET);
            after = StatusLineText();
            refAfter = PanelWord(PANEL_REFTOP);
        }),
        0);
    EXPECT_EQ(status, c.shown);
    EXPECT_LT(seconds, 6.5) << "beyond the command's own time-outs";
    EXPECT_TRUE(drained) << "the tool stopped reading the line";
    EXPECT_EQ(after, "Parameters read from RAM");
    EXPECT_EQ(refAfter, refAtStart) << "the next reply was read out of step";
}

const char* const kReceived = "Parameters read from RAM";

INSTANTIATE_TEST_SUITE_P(
    PtyFaults, BadBytes,
    ::testing::Values(
        // The notification takes the first 36 bytes and drops the rest; a parameter reply
        // that does not start with the sync word is refused.
        BadBytesCase{"GarbageBeforeTheFrame", 2, PANEL_BTNGET,
                     [](sim::Reply& reply) {
                         reply.bytes = Concat({0xFF, 0x13, 0x00, 0x99, 0x42}, reply.bytes);
                     },
                     kParametersNotReadText},
        BadBytesCase{"PartialFrameThenSilence", 2, PANEL_BTNGET,
                     [](sim::Reply& reply) { reply.bytes.resize(20); }, kParametersNotReadText},
        BadBytesCase{"FrameDribbledByteByByte", 2, PANEL_BTNGET,
                     [](sim::Reply& reply) { reply.byteGap = 0.010; }, kReceived},
        BadBytesCase{"TwoFramesBackToBack", 2, PANEL_BTNGET,
                     [](sim::Reply& reply) { reply.bytes = Concat(reply.bytes, reply.bytes); },
                     kReceived},
        BadBytesCase{"OneMegabyteAtOnce", 2, PANEL_BTNGET,
                     [](sim::Reply& reply) {
                         std::vector<uint8_t> flood(1 << 20);
                         for (size_t i = 0; i < flood.size(); ++i)
                             flood[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
                         reply.bytes = Concat(reply.bytes, flood);
                     },
                     // Flood bytes still arriving when the next read waits are no reply.
                     kParametersNotReadText},
        // Raw blocks are read without the notification.
        BadBytesCase{"DataBlockDribbledByteByByte", 9, PANEL_BTNDATA,
                     [](sim::Reply& reply) { reply.byteGap = 0.002; }, "Data[64] block received!"},
        BadBytesCase{"TwoDataBlocksBackToBack", 9, PANEL_BTNDATA,
                     [](sim::Reply& reply) { reply.bytes = Concat(reply.bytes, reply.bytes); },
                     "Data incomplete - only 0 of 4 blocks received!"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Ports that cannot serve as a line ------------------------------------------------

TEST_F(PtyFaults, PortsThatCannotBeOpenedAreReportedAndTheToolStaysUsable) {
    // A pty whose slave side was never unlocked refuses every open, root's included (where
    // a chmod would not stop the open).
    TestPty locked(TestPty::Slave::Locked);
    ASSERT_TRUE(locked.ok());
    const std::string file = dir.filePath(QStringLiteral("plain.txt")).toStdString();
    std::ofstream(file) << "not a tty\n";
    const struct {
        std::string path;
        const char* shown;
    } cases[] = {
        {locked.slavePath(), "Cannot open port"},
        {dir.filePath(QStringLiteral("no-such-device")).toStdString(), "No serial port found"},
        {file, "Cannot open port"},
        {dir.path().toStdString(), "Cannot open port"},
        {"/dev/null", "Cannot open port"},
    };
    Attach();
    PortTablePin(2, cases[0].path);
    std::vector<std::string> shown;
    std::string back, after;
    EXPECT_EQ(RunProgram([&] {
                  for (const auto& c : cases) {
                      PortTablePin(2, c.path);
                      ChoosePort(2);
                      shown.push_back(StatusLineText());
                  }
                  ChoosePort(1);
                  back = StatusLineText();
                  ClickControl(PANEL_BTNGET);
                  after = StatusLineText();
              }),
              0);
    ASSERT_EQ(shown.size(), std::size(cases));
    for (size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i], cases[i].shown) << cases[i].path;
    EXPECT_EQ(back, "PTY 1.31");
    EXPECT_EQ(after, "Parameters read from RAM");
}

}  // namespace
