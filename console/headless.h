// The modes that run without a window, for scripts and the production line: reading and
// writing the parameter set and capturing the data curves, through the same routines the
// panel's commands use.
#pragma once

#include "console/command_line.h"

namespace kervano {

// Runs the headless mode of commandLine on the controller behind COM1, printing one line
// per step, and returns the exit code: 0 success, kExitControllerFailure, kExitUsageError.
// Needs an application object (QCoreApplication is enough) and no panel: panelHandle stays
// -1, so every panel call of the routines does nothing.
int RunHeadless(const CommandLine& commandLine);

}  // namespace kervano
