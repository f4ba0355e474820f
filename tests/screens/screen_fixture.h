// The whole program as an operator starts it the first time, on this suite's screen (the
// suite runs once per screen size): nothing remembered, one adapter plugged in, and the
// emulator answering on the simulated line behind it. Pictures of the window are also saved
// to screens/ in the build tree for a person to look at.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <QTemporaryDir>
#include <functional>
#include <utility>
#include <vector>

#include "tests/support/scoped_env.h"
#include "tests/support/sim_controller.h"
#include "tests/support/sim_line.h"

class QWidget;

class ScreenTest : public ::testing::Test {
  protected:
    ScreenTest();
    void SetUp() override;
    void TearDown() override;

    // The program's whole life; whileRunning once its window is shown, then it is closed as
    // the operator closes it. What it remembers stays for the next RunOnce.
    void RunOnce(const std::function<void()>& whileRunning);
    // Runs the monitor from now until seconds later (virtual time), calling each action at
    // its offset from the start of the run.
    void RunMonitor(double seconds, std::vector<std::pair<double, std::function<void()>>> at = {});

    static QWidget* Window();
    // The screen less its task bars, where a window belongs.
    static QRect Available();
    // The window as it is drawn now, saved as <name>-<screen>.png too.
    static QImage Grab(const char* name);

    QTemporaryDir dir;
    ScopedEnv store;
    SimLine line;
    SimController controller{line};
};
