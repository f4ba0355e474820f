// What the charts say about themselves: axis titles with units and a legend naming every
// trace and plot.
#pragma once

namespace kervano {

constexpr const char* kSampleAxisTitle = "sample";
constexpr const char* kRawUnitTitle = "raw counts";
constexpr const char* kNormUnitTitle = "\u2030 of max";  // the controller's 1000*(A/Amax)

// Titles and legends of both strip charts and both data graphs; once the panel is loaded.
void LabelCharts();
// The strip charts' y title for a view mode (0 raw, any other normalised). Called on every
// redraw, it does nothing while the mode stays the same.
void LabelStripChartUnits(unsigned short viewMode);
// Names the four plots of a data graph, given their handles in drawing order.
void LabelDataGraphPlots(int graph, int upPlot, int loPlot, int dataPlot, int refPlot);

}  // namespace kervano
