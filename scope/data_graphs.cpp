#include "scope/data_graphs.h"

#include "console/startup.h"
#include "resources/panel_ids.h"
#include "scope/monitor.h"
#include "scope/reference_curves.h"

namespace kervano {

unsigned short xArray[kXPositions];

namespace {
constexpr int kLimitColour = VAL_BLACK;
constexpr int kDataColour = VAL_RED;
constexpr int kBelowRangeColour = 0x808080;

struct GraphControls {
    int strip;
    int graph;
};

int PlotCurve(int graph, const unsigned short* y, int plotStyle, int lineStyle, int colour) {
    return PlotXY(panelHandle, graph, xArray, y, kCurvePoints, VAL_UNSIGNED_SHORT_INTEGER,
                  VAL_UNSIGNED_SHORT_INTEGER, plotStyle, VAL_NO_POINT, lineStyle, 1, colour);
}

// A limit below zero has no place on the 0-1000 scale: it is drawn along the bottom edge,
// dotted and grey, so it cannot pass for a limit inside the range.
void PlotLimit(int graph, const unsigned short* line, int limitValue) {
    if (limitValue >= 0) {
        PlotCurve(graph, line, VAL_THIN_LINE, VAL_SOLID, kLimitColour);
        return;
    }
    static const unsigned short kBottomEdge[kCurvePoints] = {};
    PlotCurve(graph, kBottomEdge, VAL_THIN_LINE, VAL_DOT, kBelowRangeColour);
}

void PlotData(const GraphControls& c, const unsigned short* data, const unsigned short* up,
              const unsigned short* lo, const unsigned short* ref, int upValue, int loValue) {
    SetCtrlAttribute(panelHandle, c.strip, ATTR_VISIBLE, 0);
    SetCtrlAttribute(panelHandle, c.graph, ATTR_VISIBLE, 1);
    SetAxisScalingMode(panelHandle, c.graph, VAL_XAXIS, VAL_MANUAL, 1.0, 128.0);
    DeleteGraphPlot(panelHandle, c.graph, VAL_ALL_PLOTS, VAL_IMMEDIATE_DRAW);
    SetCtrlAttribute(panelHandle, c.graph, ATTR_LABEL_TEXT, kGraphCaption);
    SetCtrlAttribute(panelHandle, c.graph, ATTR_NUM_CURSORS, 1);
    SetCursorAttribute(panelHandle, c.graph, 1, ATTR_CURSOR_MODE, VAL_SNAP_TO_POINT);
    SetAxisScalingMode(panelHandle, c.graph, VAL_LEFT_YAXIS, VAL_MANUAL, 0.0, 1000.0);

    PlotLimit(c.graph, up, upValue);
    PlotLimit(c.graph, lo, loValue);
    PlotCurve(c.graph, data, VAL_CONNECTED_POINTS, VAL_SOLID, kDataColour);
    PlotCurve(c.graph, ref, VAL_THIN_LINE, VAL_DASH, kLimitColour);

    const int index = indexA > kMaxIndexA ? kMaxIndexA : indexA;
    if (index == 0) {
        SetGraphCursor(panelHandle, c.graph, 1, 1.0, data[0]);
    } else {
        SetGraphCursor(panelHandle, c.graph, 1, index, data[index - 1]);
    }
}
}  // namespace

void PlotDATATop(const unsigned short* data, const unsigned short* up, const unsigned short* lo,
                 const unsigned short* ref) {
    PlotData({PANEL_STRIPTOP, PANEL_GRAPHTOP}, data, up, lo, ref, upTOP, loTOP);
}

void PlotDATABot(const unsigned short* data, const unsigned short* up, const unsigned short* lo,
                 const unsigned short* ref) {
    PlotData({PANEL_STRIPBOT, PANEL_GRAPHBOT}, data, up, lo, ref, upBOT, loBOT);
}

}  // namespace kervano
