// Windows that open on screen: a main window's frame, title bar included, inside its screen's
// available area (the screen less its task bars) at a first start, and a remembered place that
// no longer fits (a smaller screen, one that is gone) brought back onto the screen.
#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace kvui {

// The geometry of a window's inside that puts it, with a frame of the given margins, within
// available: as near to geometry as fits, and no larger than available leaves room for.
QRect FitInside(const QRect& geometry, const QMargins& frame, const QRect& available);
// Where a window of the designed size opens the first time: centred in available, taking
// nine tenths of it each way, or all of it where nine tenths would be less than designed.
QRect FirstStartGeometry(const QSize& designed, const QMargins& frame, const QRect& available);
// The window's frame margins: as drawn once it is shown, else as its window system tells them
// beforehand, else a title bar's worth at the top (a window manager adds its frame only when
// the window appears).
QMargins FrameMargins(const QWidget* window);
// The screen area window opens on.
QRect AvailableArea(const QWidget* window);
// From its next show on, keeps window's frame inside its screen's available area: when it is
// shown, and again when the frame's real size becomes known (whatever the window system adds
// after showing). A window the operator moves later is left where it is put.
void KeepOnScreen(QWidget* window);

}  // namespace kvui
