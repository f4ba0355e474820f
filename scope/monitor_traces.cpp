#include "scope/monitor_traces.h"

#include "resources/panel_handle.h"
#include "resources/panel_ids.h"
#include "scope/chart_labels.h"

namespace kervano {

double arrayNORMTOP[kHistoryValues];
double arrayNORMBOT[kHistoryValues];
int tracePairs = 0;

namespace {
constexpr int kHistoryPairs = kHistoryValues / 2;
constexpr int kNoUnit = -1;

// What the charts hold: pairs of one unit, for the panel they were drawn on (handles are
// never reused, so a new panel's empty charts are drawn whole).
int drawnPanel = -1;
int drawnUnit = kNoUnit;

void Plot(int chart, const double* history, int pairs) {
    PlotStripChart(panelHandle, chart, history + kHistoryValues - 2 * pairs, 2 * pairs, 0, 0,
                   VAL_DOUBLE);
}

void Put(double* history, unsigned short first, unsigned short second) {
    Shift(history, kHistoryValues, -2, history);
    history[kHistoryValues - 2] = first;
    history[kHistoryValues - 1] = second;
}
}  // namespace

void StartMonitorTraces() {
    tracePairs = 0;
    ClearStripChart(panelHandle, PANEL_STRIPTOP);
    ClearStripChart(panelHandle, PANEL_STRIPBOT);
    drawnPanel = panelHandle;
    drawnUnit = kNoUnit;
    unsigned short viewMode = 0;
    GetCtrlVal(panelHandle, PANEL_VIEWMODE, &viewMode);
    LabelViewUnits(viewMode);
}

void AddToHistories(const unsigned short raw[4], const unsigned short norm[4]) {
    Put(arrayRAWTOP, raw[0], raw[1]);
    Put(arrayRAWBOT, raw[2], raw[3]);
    Put(arrayNORMTOP, norm[0], norm[1]);
    Put(arrayNORMBOT, norm[2], norm[3]);
    if (tracePairs < kHistoryPairs) ++tracePairs;
}

void DrawTraces(unsigned short viewMode) {
    const int unit = viewMode == 0 ? 0 : 1;
    const double* top = unit == 0 ? arrayRAWTOP : arrayNORMTOP;
    const double* bot = unit == 0 ? arrayRAWBOT : arrayNORMBOT;
    if (panelHandle == drawnPanel && unit == drawnUnit) {
        Plot(PANEL_STRIPTOP, top, 1);
        Plot(PANEL_STRIPBOT, bot, 1);
        return;
    }
    ClearStripChart(panelHandle, PANEL_STRIPTOP);
    ClearStripChart(panelHandle, PANEL_STRIPBOT);
    Plot(PANEL_STRIPTOP, top, tracePairs);
    Plot(PANEL_STRIPBOT, bot, tracePairs);
    drawnPanel = panelHandle;
    drawnUnit = unit;
}

}  // namespace kervano
