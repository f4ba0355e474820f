// Runs the program's whole life (panel load, start-up, event loop, shutdown) in the test
// process. whileRunning is called once the panel is on screen and the event loop runs;
// then the panel is closed as the operator would close it. Returns the exit code.
#pragma once

#include <functional>
#include <string>

int RunProgram(const std::function<void()>& whileRunning);

// What the main panel's status line shows now.
std::string StatusLineText();
