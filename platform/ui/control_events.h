// Turns user actions on panel widgets into the event codes the program's callbacks expect.
// Only user actions reach the callbacks; program calls that change a value stay silent.
#pragma once

class QWidget;

namespace kvui {

void FireCtrlEvent(int panel, int control, int event);
// How many control callbacks are running now (they nest when one processes events): 0 when
// the program is idle. Work that must not run inside a command checks this first.
int CtrlCallbackDepth();
// Connects the user actions of w to the callback of (panel, control).
void WireControl(int panel, int control, QWidget* w);
// Routes the window manager's close requests for the panel's window to its panel callback.
void WirePanel(int panel, QWidget* w);

}  // namespace kvui
