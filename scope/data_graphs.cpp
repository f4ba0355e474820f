#include "scope/data_graphs.h"

#include "resources/panel_handle.h"
#include "resources/panel_ids.h"
#include "scope/chart_labels.h"
#include "scope/graph_overlay.h"
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

int PlotCurve(int graph, const unsigned short* y, int plotStyle, int lineStyle, int colour,
              int first = 0, int count = kCurvePoints) {
    return PlotXY(panelHandle, graph, xArray + first, y + first, count, VAL_UNSIGNED_SHORT_INTEGER,
                  VAL_UNSIGNED_SHORT_INTEGER, plotStyle, VAL_NO_POINT, lineStyle, 1, colour);
}

// A limit below zero has no place on the 0-1000 scale: it is drawn along the bottom edge,
// dotted and grey, so it cannot pass for a limit inside the range.
int PlotLimit(int graph, const unsigned short* line, int limitValue) {
    if (limitValue >= 0) return PlotCurve(graph, line, VAL_THIN_LINE, VAL_SOLID, kLimitColour);
    static const unsigned short kBottomEdge[kCurvePoints] = {};
    return PlotCurve(graph, kBottomEdge, VAL_THIN_LINE, VAL_DOT, kBelowRangeColour);
}

// Only the samples that arrived are drawn: a missing half leaves a gap, never zeros that
// would pass for measurements. Returns the plot's handle, 0 when nothing arrived.
int PlotReceived(int graph, const unsigned short* data, bool first, bool second) {
    if (first && second)
        return PlotCurve(graph, data, VAL_CONNECTED_POINTS, VAL_SOLID, kDataColour);
    if (!first && !second) return 0;
    return PlotCurve(graph, data, VAL_CONNECTED_POINTS, VAL_SOLID, kDataColour,
                     first ? 0 : kHalfCurvePoints, kHalfCurvePoints);
}

void PlotData(const GraphControls& c, const unsigned short* data, const unsigned short* up,
              const unsigned short* lo, const unsigned short* ref, int upValue, int loValue,
              const int* halvesReceived, const char* caption = kGraphCaption,
              bool cursorOnIndex = true) {
    const bool first = halvesReceived == nullptr || halvesReceived[0] != 0;
    const bool second = halvesReceived == nullptr || halvesReceived[1] != 0;

    SetCtrlAttribute(panelHandle, c.strip, ATTR_VISIBLE, 0);
    SetCtrlAttribute(panelHandle, c.graph, ATTR_VISIBLE, 1);
    SetAxisScalingMode(panelHandle, c.graph, VAL_XAXIS, VAL_MANUAL, 1.0, 128.0);
    DeleteGraphPlot(panelHandle, c.graph, VAL_ALL_PLOTS, VAL_IMMEDIATE_DRAW);
    SetCtrlAttribute(panelHandle, c.graph, ATTR_LABEL_TEXT, caption);
    SetCtrlAttribute(panelHandle, c.graph, ATTR_NUM_CURSORS, 1);
    SetCursorAttribute(panelHandle, c.graph, 1, ATTR_CURSOR_MODE, VAL_SNAP_TO_POINT);
    SetAxisScalingMode(panelHandle, c.graph, VAL_LEFT_YAXIS, VAL_MANUAL, 0.0, 1000.0);

    PlotOverlayCurve(c.graph);
    const int upPlot = PlotLimit(c.graph, up, upValue);
    const int loPlot = PlotLimit(c.graph, lo, loValue);
    const int dataPlot = PlotReceived(c.graph, data, first, second);
    const int refPlot = PlotCurve(c.graph, ref, VAL_THIN_LINE, VAL_DASH, kLimitColour);
    LabelDataGraphPlots(c.graph, upPlot, loPlot, dataPlot, refPlot);

    if (!cursorOnIndex) {
        SetCtrlAttribute(panelHandle, c.graph, ATTR_NUM_CURSORS, 0);
        return;
    }
    const int index = indexA > kMaxIndexA ? kMaxIndexA : indexA;
    const int sample = index == 0 ? 0 : index - 1;
    if (!(sample < kHalfCurvePoints ? first : second)) {
        // No cursor on a sample that never arrived.
        SetCtrlAttribute(panelHandle, c.graph, ATTR_NUM_CURSORS, 0);
        return;
    }
    SetGraphCursor(panelHandle, c.graph, 1, index == 0 ? 1.0 : index, data[sample]);
}
// A recorded line as the graph draws it (FillLines' 16-bit words).
void LineWords(const int* line, unsigned short* words) {
    for (int i = 0; i < kCurvePoints; ++i) words[i] = static_cast<unsigned short>(line[i] & 0xFFFF);
}

void PlotRecordedChannel(const GraphControls& c, const unsigned short* data, const bool* received,
                         const int* ref, const int* up, const int* lo, const char* caption) {
    unsigned short upWords[kCurvePoints], loWords[kCurvePoints], refWords[kCurvePoints];
    LineWords(up, upWords);
    LineWords(lo, loWords);
    LineWords(ref, refWords);
    const int halves[2] = {received[0] ? 1 : 0, received[kHalfCurvePoints] ? 1 : 0};
    // A record holds no controller index: no cursor claims one.
    PlotData(c, data, upWords, loWords, refWords, up[0], lo[0], halves, caption, false);
}
}  // namespace

void PlotCaptureRecord(const CaptureRecord& record, const char* caption) {
    // The drawing's "up" line is TOP's tolerance and BOT's tolerance below the reference.
    PlotRecordedChannel({PANEL_STRIPTOP, PANEL_GRAPHTOP}, record.top, record.topReceived,
                        record.topRef, record.topUpper, record.topLower, caption);
    PlotRecordedChannel({PANEL_STRIPBOT, PANEL_GRAPHBOT}, record.bot, record.botReceived,
                        record.botRef, record.botLower, record.botUpper, caption);
}

void PlotDATATop(const unsigned short* data, const unsigned short* up, const unsigned short* lo,
                 const unsigned short* ref, const int* halvesReceived) {
    PlotData({PANEL_STRIPTOP, PANEL_GRAPHTOP}, data, up, lo, ref, upTOP, loTOP, halvesReceived);
}

void PlotDATABot(const unsigned short* data, const unsigned short* up, const unsigned short* lo,
                 const unsigned short* ref, const int* halvesReceived) {
    PlotData({PANEL_STRIPBOT, PANEL_GRAPHBOT}, data, up, lo, ref, upBOT, loBOT, halvesReceived);
}

}  // namespace kervano
