// Starting without a display: Qt would abort the process; the tool ends as any failed
// start-up does instead, with one line on standard error that says why.
#pragma once

namespace kervano {

// False (after printing the reason) when the window system is plainly out of reach, e.g.
// no DISPLAY for the X11 platform. Call before the application object is made; it also
// arranges that a platform that fails to start ends the process with -1 and one line.
bool UserInterfaceCanStart(int argc, char** argv);
// The application object exists: Qt's messages go their usual way again.
void UserInterfaceStarted();

}  // namespace kervano
