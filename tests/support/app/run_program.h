// Runs the program's whole life (panel load, start-up, event loop, shutdown) in the test
// process. whileRunning is called once the panel is on screen and the event loop runs;
// then the panel is closed as the operator would close it. Returns the exit code.
#pragma once

#include <functional>
#include <string>
#include <vector>

int RunProgram(const std::function<void()>& whileRunning);

// Runs the headless mode args ask for (the program's name left out) in this process, as
// the command line reaches it; returns the exit code, and what went to each stream in out
// and errors.
int RunHeadlessMode(std::vector<std::string> args, std::string& out, std::string& errors);

// A left click on a control of the main panel, as the operator gives it; nothing once the
// panel is gone.
void ClickControl(int control);

// Runs what after ms, while the main panel that is open now still exists: a timer a test
// leaves behind never fires into a later test.
void WhilePanelLater(int ms, const std::function<void()>& what);

// What the main panel's status line shows now.
std::string StatusLineText();
