// The operator's view commands for a panel's strip charts, for the console's menus. They act
// exactly as the charts' own context menu and Pause button, and stay in step with them.
#pragma once

class QAction;

// Pause freezes the display of every strip chart of the panel; values plotted meanwhile go
// into the charts' histories and resuming shows the latest at once. 0, or kUiError for a
// panel without strip charts.
int SetStripChartsPaused(int panel, int paused);
bool StripChartsPaused(int panel);
// Locks a strip chart's y scale at its current range (1) or lets it follow the data (0).
int SetStripChartScaleLocked(int panel, int control, int locked);
bool StripChartScaleLocked(int panel, int control);
// One y range for all strip charts of the panel: the union of their data while automatic,
// one locked range while locked.
int SetStripChartsShareScale(int panel, int shared);
bool StripChartsShareScale(int panel);
// The checkable actions behind Pause and the shared scale, for a menu to show as they are.
// Null for a panel without strip charts.
QAction* StripChartsPauseAction(int panel);
QAction* StripChartsShareScaleAction(int panel);
