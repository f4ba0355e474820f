// What the charts and read-outs say about themselves: axis titles and read-out labels with
// their units, and a legend naming every trace and plot.
#pragma once

namespace kervano {

constexpr const char* kSampleAxisTitle = "sample";
constexpr const char* kRawUnitTitle = "raw counts";
constexpr const char* kNormUnitTitle = "\u2030 of max";  // the controller's 1000*(A/Amax)
// The same units, short, beside the read-outs' names ("TOP1 counts", "max TOP1 \u2030").
constexpr const char* kRawReadoutUnit = "counts";
constexpr const char* kNormReadoutUnit = "\u2030";

// Titles and legends of both strip charts and both data graphs, and the read-outs' labels;
// once the panel is loaded. The maxima are always normalised values, whatever the view.
void LabelCharts();
// The unit of the view mode (0 raw, any other normalised) on the strip charts' y titles and
// beside TOP1, TOP2, BOT1 and BOT2. Called on every redraw, it does nothing while the mode
// stays the same.
void LabelViewUnits(unsigned short viewMode);
// Names the four plots of a data graph, given their handles in drawing order.
void LabelDataGraphPlots(int graph, int upPlot, int loPlot, int dataPlot, int refPlot);

}  // namespace kervano
