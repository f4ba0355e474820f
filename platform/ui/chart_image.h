// A picture of a panel's charts for reports: the charts that are shown, stacked top to
// bottom as on the panel, each under the title of the frame it sits in, drawn with their
// legends, captions and axis titles (the chart's own buttons are left out).
#pragma once

#include <string>

// controls: the charts in the panel's order, top to bottom; those not shown are left out.
// scale 1 gives the panel's own resolution (its device pixels), 2 twice that. png gets the
// PNG file's bytes, width and height (if given) its size in pixels. Returns the number of
// charts drawn (0: none shown, png empty), or kUiError for an unknown panel or a scale
// below 1.
int ChartsPng(int panel, const int* controls, int count, int scale, std::string& png,
              int* width = nullptr, int* height = nullptr);
