// The link's state on the panel: the connection indicator beside the status line (colour,
// short text, a tooltip saying what it means), the window title naming the port in use, and
// the status history behind its button.
#pragma once

namespace kervano {

// Wires the indicator, the title and the history button of the main panel, and starts the
// status history. Call once the main panel is loaded.
void InstallLinkViews();

}  // namespace kervano
