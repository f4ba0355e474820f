// Work that showing a panel would do, done before it is shown: polishing its widgets,
// making its window and drawing it once off screen, which fills the caches that the first
// real paint draws from (glyphs, the styles' images, the pictures the charts and group boxes
// keep). The program loads its panels and then waits on the serial line before it shows the
// main one; this work runs in that wait, as pending user-interface events do, so the panel
// appears sooner and the program's own steps and their order are unchanged.
#pragma once

class QWidget;

namespace kvui {

// Prepares panel at the next pass of the event loop (or ProcessSystemEvents) if it is still
// hidden then.
void PrepareBeforeShowing(QWidget* panel);

}  // namespace kvui
