// An earlier capture kept under the next ones: its curves drawn muted (light grey, dashed,
// behind every other plot) in both data graphs, named by its capture time in the legend,
// until it is cleared. It stays across captures and opened files.
#pragma once

#include <string>

#include "scope/capture_csv.h"

namespace kervano {

// Keeps a copy of record as the overlay (in place of one kept before) and draws it in both
// graphs now, behind what they show.
void KeepOverlay(const CaptureRecord& record);
// Takes the overlay off both graphs; later drawings go without it.
void ClearOverlay();
// The overlay kept, or null.
const CaptureRecord* KeptOverlay();
// "Overlay 14:05:09": the overlay's name in the legend and the cursor read-out.
std::string OverlayName(const CaptureRecord& record);
// Draws the overlay's curve of graph's channel there, if one is kept; each drawing of a
// data graph calls it after clearing the graph.
void PlotOverlayCurve(int graph);

}  // namespace kervano
