#include "scope/graph_overlay.h"

#include "platform/ui/ui_service.h"
#include "resources/panel_handle.h"
#include "resources/panel_ids.h"
#include "scope/data_graphs.h"

namespace kervano {

namespace {
constexpr int kOverlayColour = 0xA8A8A8;  // light grey: present, but never read as the data

CaptureRecord overlay;
bool kept = false;
// The overlay's plots in each graph (a stale handle after a redraw deletes nothing).
int topPlots[2] = {};
int botPlots[2] = {};

int PlotHalf(int graph, const unsigned short* data, int first, int count, const char* name) {
    const int plot = PlotXY(panelHandle, graph, xArray + first, data + first, count,
                            VAL_UNSIGNED_SHORT_INTEGER, VAL_UNSIGNED_SHORT_INTEGER, VAL_THIN_LINE,
                            VAL_NO_POINT, VAL_MUTED_DASH, 1, kOverlayColour);
    SetPlotAttribute(panelHandle, graph, plot, ATTR_PLOT_LG_TEXT, name);
    return plot;
}

// Only the blocks that arrived, as the data itself; one plot when the curve is whole.
void PlotChannel(int graph, const unsigned short* data, const bool* received, int (&plots)[2]) {
    const std::string name = OverlayName(overlay);
    plots[0] = plots[1] = 0;
    if (received[0] && received[kHalfCurvePoints]) {
        plots[0] = PlotHalf(graph, data, 0, kCurvePoints, name.c_str());
        return;
    }
    // A second half alone keeps the name; a curve in two parts has one legend entry.
    if (received[0]) plots[0] = PlotHalf(graph, data, 0, kHalfCurvePoints, name.c_str());
    if (received[kHalfCurvePoints])
        plots[1] = PlotHalf(graph, data, kHalfCurvePoints, kHalfCurvePoints,
                            received[0] ? "" : name.c_str());
}

void DeletePlots(int graph, int (&plots)[2]) {
    for (int& plot : plots) {
        if (plot > 0) DeleteGraphPlot(panelHandle, graph, plot, VAL_IMMEDIATE_DRAW);
        plot = 0;
    }
}
}  // namespace

std::string OverlayName(const CaptureRecord& record) {
    return "Overlay " + Iso8601LocalTime(record.time).substr(11, 8);
}

void KeepOverlay(const CaptureRecord& record) {
    ClearOverlay();
    overlay = record;
    kept = true;
    PlotOverlayCurve(PANEL_GRAPHTOP);
    PlotOverlayCurve(PANEL_GRAPHBOT);
}

void ClearOverlay() {
    DeletePlots(PANEL_GRAPHTOP, topPlots);
    DeletePlots(PANEL_GRAPHBOT, botPlots);
    kept = false;
}

const CaptureRecord* KeptOverlay() {
    return kept ? &overlay : nullptr;
}

void PlotOverlayCurve(int graph) {
    if (!kept) return;
    if (graph == PANEL_GRAPHTOP) PlotChannel(graph, overlay.top, overlay.topReceived, topPlots);
    if (graph == PANEL_GRAPHBOT) PlotChannel(graph, overlay.bot, overlay.botReceived, botPlots);
}

}  // namespace kervano
