#include "scope/chart_labels.h"

#include <string>

#include "platform/ui/ui_service.h"
#include "resources/panel_handle.h"
#include "resources/panel_ids.h"

namespace kervano {

namespace {
// The strip charts' current unit, for the panel it was set on (handles are never reused).
int labelledPanel = -1;
int labelledUnit = -1;

struct NamedReadout {
    int control;
    const char* name;
};
constexpr NamedReadout kValueReadouts[] = {
    {PANEL_TOP1, "TOP1"}, {PANEL_TOP2, "TOP2"}, {PANEL_BOT1, "BOT1"}, {PANEL_BOT2, "BOT2"}};
constexpr NamedReadout kMaxReadouts[] = {{PANEL_MAXTOP1, "max TOP1"},
                                         {PANEL_MAXTOP2, "max TOP2"},
                                         {PANEL_MAXBOT1, "max BOT1"},
                                         {PANEL_MAXBOT2, "max BOT2"}};

void LabelReadouts(const NamedReadout (&readouts)[4], const char* unit) {
    for (const NamedReadout& r : readouts) {
        const std::string label = std::string(r.name) + " " + unit;
        SetCtrlAttribute(panelHandle, r.control, ATTR_LABEL_TEXT, label.c_str());
    }
}

void ShowLegendAndSampleAxis(int control) {
    SetCtrlAttribute(panelHandle, control, ATTR_XNAME, kSampleAxisTitle);
    SetCtrlAttribute(panelHandle, control, ATTR_LEGEND_VISIBLE, 1);
}
}  // namespace

void LabelCharts() {
    struct Traces {
        int chart;
        const char* first;
        const char* second;
    };
    for (const Traces& t :
         {Traces{PANEL_STRIPTOP, "TOP1", "TOP2"}, Traces{PANEL_STRIPBOT, "BOT1", "BOT2"}}) {
        ShowLegendAndSampleAxis(t.chart);
        SetTraceAttributeEx(panelHandle, t.chart, 1, ATTR_TRACE_LG_TEXT, t.first);
        SetTraceAttributeEx(panelHandle, t.chart, 2, ATTR_TRACE_LG_TEXT, t.second);
    }
    // The controller delivers the captured curves scaled to 1000 times their maximum.
    for (int graph : {PANEL_GRAPHTOP, PANEL_GRAPHBOT}) {
        ShowLegendAndSampleAxis(graph);
        SetCtrlAttribute(panelHandle, graph, ATTR_YNAME, kNormUnitTitle);
    }
    LabelReadouts(kMaxReadouts, kNormReadoutUnit);
    unsigned short viewMode = 0;
    GetCtrlVal(panelHandle, PANEL_VIEWMODE, &viewMode);
    LabelViewUnits(viewMode);
}

void LabelViewUnits(unsigned short viewMode) {
    const int unit = viewMode == 0 ? 0 : 1;
    if (panelHandle == labelledPanel && unit == labelledUnit) return;
    const char* title = unit == 0 ? kRawUnitTitle : kNormUnitTitle;
    SetCtrlAttribute(panelHandle, PANEL_STRIPTOP, ATTR_YNAME, title);
    SetCtrlAttribute(panelHandle, PANEL_STRIPBOT, ATTR_YNAME, title);
    LabelReadouts(kValueReadouts, unit == 0 ? kRawReadoutUnit : kNormReadoutUnit);
    labelledPanel = panelHandle;
    labelledUnit = unit;
}

void LabelDataGraphPlots(int graph, int upPlot, int loPlot, int dataPlot, int refPlot) {
    // TOP's tolerance line lies above its reference and BOT's below; each line is named by
    // the parameter it comes from, which holds for both.
    SetPlotAttribute(panelHandle, graph, upPlot, ATTR_PLOT_LG_TEXT, "tolerance limit");
    SetPlotAttribute(panelHandle, graph, loPlot, ATTR_PLOT_LG_TEXT, "hysteresis limit");
    SetPlotAttribute(panelHandle, graph, dataPlot, ATTR_PLOT_LG_TEXT,
                     graph == PANEL_GRAPHTOP ? "TOP data" : "BOT data");
    SetPlotAttribute(panelHandle, graph, refPlot, ATTR_PLOT_LG_TEXT, "reference");
}

}  // namespace kervano
