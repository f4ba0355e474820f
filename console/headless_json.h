// --json: each headless mode prints one JSON object per line instead of plain lines: one per
// step ({"step": TEXT, "time": ...}) and a final one with the run's result, for a test
// system that wants one machine-readable result per unit. The exit codes stay as they are.
#pragma once

#include <string>

#include "console/command_line.h"

namespace kervano {

// Turns the JSON lines on or off for the run about to start.
void SetJsonOutput(bool on);
bool JsonOutput();

// The step's line: {"step": text, "time": local time with ms}.
std::string JsonStepLine(const std::string& text);
// Notes the reason a run failed (the text of its standard error line) for the final line.
void NoteJsonFailure(const std::string& why);
// The final line: command, port, device, adapter serial, firmware text, the parameter set
// read or sent (null when none was), the verify mismatches, the error and the exit status.
std::string JsonResultLine(const CommandLine& commandLine, int code);

}  // namespace kervano
