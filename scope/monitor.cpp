#include "scope/monitor.h"

#include "link/frame.h"
#include "resources/panel_handle.h"
#include "resources/panel_ids.h"
#include "scope/chart_labels.h"
#include "scope/leds.h"
#include "scope/monitor_recording.h"
#include "scope/monitor_traces.h"

namespace kervano {

double arrayRAWTOP[kHistoryValues];
double arrayRAWBOT[kHistoryValues];

unsigned short rawTop1, rawTop2, rawBot1, rawBot2;
unsigned short normTop1, normTop2, normBot1, normBot2;
unsigned short maxTop1, maxTop2, maxBot1, maxBot2;
unsigned short cntTRUV, in2cnt, inputs, indexA;

namespace {
constexpr int kPointsPerScreen = 101;
constexpr int kTraces = 2;

struct ModeColours {
    int trace1;
    int trace2;
};
// Each at least 3:1 against the white of the charts and read-outs (pure green is 1.4:1).
constexpr ModeColours kRawColours{VAL_BLUE, VAL_DK_GREEN};
constexpr ModeColours kNormColours{VAL_RED, VAL_DK_GRAY};

void TakeReplyWords() {
    unsigned short* const words[PNUM] = {
        &rawTop1, &rawTop2, &rawBot1, &rawBot2, &normTop1, &normTop2, &normBot1, &normBot2,
        &maxTop1, &maxTop2, &maxBot1, &maxBot2, &cntTRUV,  &in2cnt,   &inputs,   &indexA,
    };
    for (int k = 0; k < PNUM; ++k) *words[k] = pp[k];
}

void ConfigureStripChart(int control) {
    SetCtrlAttribute(panelHandle, control, ATTR_POINTS_PER_SCREEN, kPointsPerScreen);
    SetCtrlAttribute(panelHandle, control, ATTR_SCROLL_MODE, VAL_CONTINUOUS);
    SetCtrlAttribute(panelHandle, control, ATTR_NUM_TRACES, kTraces);
}

// Colours traces and read-outs for the mode and shows the pair the mode picks.
void ShowPair(const unsigned short pair[4], const ModeColours& colours) {
    SetTraceAttribute(panelHandle, PANEL_STRIPTOP, 1, ATTR_TRACE_COLOR, colours.trace1);
    SetTraceAttribute(panelHandle, PANEL_STRIPTOP, 2, ATTR_TRACE_COLOR, colours.trace2);
    SetTraceAttribute(panelHandle, PANEL_STRIPBOT, 1, ATTR_TRACE_COLOR, colours.trace1);
    SetTraceAttribute(panelHandle, PANEL_STRIPBOT, 2, ATTR_TRACE_COLOR, colours.trace2);

    SetCtrlAttribute(panelHandle, PANEL_TOP1, ATTR_TEXT_COLOR, colours.trace1);
    SetCtrlAttribute(panelHandle, PANEL_TOP2, ATTR_TEXT_COLOR, colours.trace2);
    SetCtrlAttribute(panelHandle, PANEL_BOT1, ATTR_TEXT_COLOR, colours.trace1);
    SetCtrlAttribute(panelHandle, PANEL_BOT2, ATTR_TEXT_COLOR, colours.trace2);

    const int readouts[4] = {PANEL_TOP1, PANEL_TOP2, PANEL_BOT1, PANEL_BOT2};
    for (int k = 0; k < 4; ++k)
        SetCtrlVal(panelHandle, readouts[k], static_cast<unsigned int>(pair[k]));
}
}  // namespace

void PlotRAWValues() {
    TakeReplyWords();
    if (indexA > kMaxIndexA) indexA = kMaxIndexA;
    if (monitorRecording) RecordMonitorReply();

    ConfigureStripChart(PANEL_STRIPTOP);
    ConfigureStripChart(PANEL_STRIPBOT);

    const unsigned short raw[4] = {rawTop1, rawTop2, rawBot1, rawBot2};
    const unsigned short norm[4] = {normTop1, normTop2, normBot1, normBot2};
    AddToHistories(raw, norm);
    unsigned short viewMode = 0;
    GetCtrlVal(panelHandle, PANEL_VIEWMODE, &viewMode);
    LabelViewUnits(viewMode);
    if (viewMode == 0) {
        ShowPair(raw, kRawColours);
    } else {
        ShowPair(norm, kNormColours);
    }
    DrawTraces(viewMode);

    SetCtrlVal(panelHandle, PANEL_MAXTOP1, static_cast<unsigned int>(maxTop1));
    SetCtrlVal(panelHandle, PANEL_MAXTOP2, static_cast<unsigned int>(maxTop2));
    SetCtrlVal(panelHandle, PANEL_MAXBOT1, static_cast<unsigned int>(maxBot1));
    SetCtrlVal(panelHandle, PANEL_MAXBOT2, static_cast<unsigned int>(maxBot2));
    SetCtrlVal(panelHandle, PANEL_COUNT, static_cast<unsigned int>(cntTRUV));
    SetCtrlVal(panelHandle, PANEL_INDEXA, static_cast<unsigned int>(indexA));

    setLEDs(inputs);
}

void FillarrayRAW(int a, int b, int c, int d) {
    for (double* history : {arrayRAWTOP, arrayRAWBOT, arrayNORMTOP, arrayNORMBOT}) {
        const bool top = history == arrayRAWTOP || history == arrayNORMTOP;
        for (int i = 0; i < kHistoryValues; i += 2) {
            history[i] = top ? a : c;
            history[i + 1] = top ? b : d;
        }
    }
    tracePairs = 0;  // none of them was received
}

int Copy1D(const double* input, int n, double* output) {
    if (n < 1) return kShiftBadCount;
    for (int i = 0; i < n; ++i) output[i] = input[i];
    return 0;
}

int Shift(const double* input, int n, int shifts, double* output) {
    if (n < 1) return kShiftBadCount;
    if (shifts >= n || -shifts >= n) return kShiftTooFar;
    if (shifts == 0) return Copy1D(input, n, output);
    if (shifts > 0) {
        // Copy downwards so that the same array may be input and output.
        for (int i = n - 1; i >= shifts; --i) output[i] = input[i - shifts];
        for (int i = 0; i < shifts; ++i) output[i] = 0.0;
    } else {
        const int m = -shifts;
        for (int i = 0; i <= n - m - 1; ++i) output[i] = input[i + m];
        for (int i = n - 1; i >= n - m; --i) output[i] = 0.0;
    }
    return 0;
}

}  // namespace kervano
