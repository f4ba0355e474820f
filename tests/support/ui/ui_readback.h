// What the controls, strip charts and graphs show, read back for tests through the same
// panel handles and control constants the program uses. Each returns an empty result or a
// negative count for an unknown panel or control.
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

// An attribute as the control shows it (the ATTR_ codes of SetCtrlAttribute). 0, or kUiError.
int GetCtrlAttribute(int panel, int control, int attribute, int* value);
// The graph cursor's position. 0, or kUiError.
int GetGraphCursor(int panel, int control, int cursor, double* x, double* y);

// Graphs: plots in drawing order (index 0 is drawn first, at the bottom).
int GraphPlotCount(int panel, int control);
std::vector<std::pair<double, double>> GraphPlotPoints(int panel, int control, int plotIndex);
struct GraphPlotStyle {
    int color = -1;  // 0xRRGGBB, -1 for no such plot
    bool dashed = false;
    bool pointsShown = false;
    bool operator==(const GraphPlotStyle&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const GraphPlotStyle& s) {
    return out << "{0x" << std::hex << s.color << std::dec << (s.dashed ? ", dashed" : "")
               << (s.pointsShown ? ", points}" : "}");
}
GraphPlotStyle GraphPlotLook(int panel, int control, int plotIndex);
// axis: VAL_XAXIS or VAL_LEFT_YAXIS. Returns 0, or kUiError.
int GraphAxisRange(int panel, int control, int axis, double* min, double* max);
// True when the cursor is drawn (enabled and inside the visible range).
bool GraphCursorDrawn(int panel, int control);
// The graph caption (ATTR_LABEL_TEXT), empty when none.
std::string GraphCaption(int panel, int control);

// Strip charts: trace is 1-based as in SetTraceAttribute.
int StripChartPointCount(int panel, int control, int trace);
std::vector<double> StripChartTrace(int panel, int control, int trace);
int TraceColor(int panel, int control, int trace);
double StripChartAxisMax(int panel, int control);
// The y axis's range: 0, or kUiError.
int StripChartAxisRange(int panel, int control, double* min, double* max);

// Both kinds: an axis title (VAL_XAXIS or VAL_LEFT_YAXIS) as drawn, and the legend's
// entries in drawing order as drawn (none while the legend is hidden).
std::string ChartAxisTitle(int panel, int control, int axis);
struct ChartLegendEntry {
    std::string text;
    int color = -1;  // 0xRRGGBB of the entry's line
    bool dashed = false;
    bool operator==(const ChartLegendEntry&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const ChartLegendEntry& e) {
    return out << '{' << e.text << ", 0x" << std::hex << e.color << std::dec
               << (e.dashed ? ", dashed}" : "}");
}
std::vector<ChartLegendEntry> ChartLegend(int panel, int control);
