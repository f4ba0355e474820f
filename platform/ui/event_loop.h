// State of the user-interface loop shared with the close handling.
#pragma once

namespace kvui {

// True from QuitUserInterface until the next RunUserInterface.
bool QuitRequested();

}  // namespace kvui
