// Compare reads the line as Get does, so its menu item and its window's buttons are available
// exactly when the Get button is: a dimmed parameter frame (the monitor running, a capture,
// a line time-out before Stop) dims them as well.
#pragma once

class QAction;
class QWidget;

namespace kervano {

// Keeps the action's (or widget's) enabled state the Get button's effective one, from now on.
void FollowGetButton(QAction* action);
void FollowGetButton(QWidget* widget);

}  // namespace kervano
