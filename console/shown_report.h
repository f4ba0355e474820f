// An opt-in start-up report for measuring the tool from outside: with the environment
// variable KERVANO_REPORT_SHOWN set (to anything but empty), the first paint of the main
// panel prints one line on standard output,
//
//   kervano-scope: panel shown 0.213 s after start (monotonic 8123.456789 s), status "SIM 1.31"
//
// so a benchmark can time launch -> panel with the line's answers on it. The monotonic time
// is CLOCK_MONOTONIC, the clock a launching process can read too; the time after start is
// taken from the kernel's process start time and is good to a clock tick (10 ms).
#pragma once

namespace kervano {

// Watches panel for its first paint; does nothing unless the report is asked for.
void ArmShownReport(int panel);

}  // namespace kervano
