// A pane docked in a panel's window, below its controls and above its status line: it never
// covers the panel. While the pane is shown the controls keep the height they need, so the
// buttons at their foot stay in view, as far as the screen leaves room for the pane's least.
#pragma once

class QWidget;

namespace kvui {

// Puts pane under the controls of panel (the panel's scroll area; a panel without one is left
// as it is), with a handle between them that the operator can drag; the pane starts hidden.
void DockBelowControls(QWidget* panel, QWidget* pane);

}  // namespace kvui
