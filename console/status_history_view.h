// The status history window: every text the status line showed lately with its time, newest
// last, with Copy (all lines to the clipboard) and Clear. Not modal: the monitor runs on.
#pragma once

namespace kervano {

// Shows the window beside the main panel, creating it on first use.
void ShowStatusHistory();

}  // namespace kervano
