// The operator's view commands for a panel's strip charts, for the console's menus. They act
// exactly as the charts' own context menu and Pause button, and stay in step with them.
#pragma once

class QAction;

// True while the panel's strip charts are paused: their display is frozen, values plotted
// meanwhile go into the charts' histories and resuming shows the latest at once.
bool StripChartsPaused(int panel);
// Locks a strip chart's y scale at its current range (1) or lets it follow the data (0).
int SetStripChartScaleLocked(int panel, int control, int locked);
bool StripChartScaleLocked(int panel, int control);
// One y range for all strip charts of the panel: the union of their data while automatic,
// one locked range while locked.
int SetStripChartsShareScale(int panel, int shared);
bool StripChartsShareScale(int panel);
// The checkable action behind Pause, for a menu to show as it is. Null for a panel without
// strip charts.
QAction* StripChartsPauseAction(int panel);
