// Fixture for tests that drive the program: the real panel loaded offscreen, a simulated
// line with a virtual clock behind every COM port, the emulator answering on COM1, and a
// record of every text the status line showed.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/sim_controller.h"
#include "tests/support/sim_line.h"

class PanelFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Opens COM1 as port set-up does, without the echo check (for tests of later steps).
    void OpenLine();
    // The status texts shown since the last call (or since set-up), in order.
    std::vector<std::string> TakeStatusHistory();
    std::string StatusText() const;
    // Words of a control, read through the service as the program reads them.
    unsigned int CtrlValue(int control) const;
    bool IsVisible(int control) const;
    bool IsDimmed(int control) const;

    SimLine line;
    SimController controller{line};
    std::vector<std::string> statusHistory;
};
