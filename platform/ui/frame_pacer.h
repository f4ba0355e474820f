// Paints a panel on the ticks of a display-frame clock (the screen's refresh rate, at most
// 60 a second) instead of on every pass of the event loop. A command loop that processes
// events after every reply would otherwise repaint the read-outs and charts for each reply,
// hundreds of times a second against a fast controller; now whatever changed between two
// ticks is painted once, at the next tick. Values and attributes still change at once: only
// the pixels wait, for at most one frame. Exposing a window (showing, uncovering) is not
// paced.
#pragma once

class QWidget;

namespace kvui {

// Paces the repaints of window (a top-level widget) for as long as it lives.
void PaceFrames(QWidget* window);

}  // namespace kvui
