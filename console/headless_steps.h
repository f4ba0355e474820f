// What the headless modes share: the printed steps, the endings, the connection.
#pragma once

#include <string>

#include "console/command_line.h"

namespace kervano {

// One line on standard output.
void PrintStep(const std::string& text);
// Ends a mode: one line on standard error, "kervano-scope: WHY", and code back for the
// caller to return.
int Fail(int code, const std::string& why);
// The status text shown last.
const std::string& LastStatusText();
// "RAM" or "EEPROM".
const char* MemoryName(int memory);
// Copies path into file_name; false when it does not fit.
bool SetFileName(const std::string& path);

// Brings the link up on COM1 as start-up does (echo check, both parameter packets from RAM,
// firmware text). Returns 1 when all of it succeeded.
int ConnectController();
// "no controller ready on COM1 - STATUS", with the system's reason when the port could not
// be opened (there is no tooltip to show it in).
std::string ControllerNotReady();

// A signal (SIGTERM, SIGINT, SIGHUP) asked the run to end: the step on the line has
// finished, no further step starts.
bool SignalCame();
// "stopped by SIGTERM"
std::string StoppedBySignal();
// Ends a run a signal cut short before it changed anything: one line on standard error,
// "kervano-scope: stopped by SIGTERM - WHAT", and 128 + the signal back.
int StopForSignal(const std::string& what);

int RunReadParams(const CommandLine& commandLine);
int RunWriteParams(const CommandLine& commandLine);
int RunCapture(const CommandLine& commandLine);
int RunCompare(const CommandLine& commandLine);
int RunReport(const CommandLine& commandLine);

}  // namespace kervano
