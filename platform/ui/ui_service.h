// User-interface service: panels, controls, charts, graphs, cursors, the file dialog and
// the event loop, in the shapes the program calls. Controls are addressed by a panel
// handle and a control constant; the names behind the constants are registered once with
// SetResourceNames, and the panel resource holds widgets with those object names.
#pragma once

#include <functional>
#include <string>

// Event codes delivered to control and panel callbacks.
constexpr int EVENT_COMMIT = 1;
constexpr int EVENT_VAL_CHANGED = 2;
constexpr int EVENT_LEFT_CLICK = 3;
constexpr int EVENT_CLOSE = 11;

using CtrlCallbackPtr = int (*)(int panel, int control, int event, void* callbackData,
                                int eventData1, int eventData2);
using PanelCallbackPtr = int (*)(int panel, int event, void* callbackData, int eventData1,
                                 int eventData2);

// Attributes.
enum UiAttribute {
    ATTR_VISIBLE = 1,
    ATTR_DIMMED,
    ATTR_TEXT_COLOR,
    ATTR_TEXT_BGCOLOR,
    ATTR_TEXT_FONT,
    ATTR_TEXT_POINT_SIZE,
    ATTR_LABEL_TEXT,  // a graph's caption, a button's text, the label beside a control
    ATTR_POINTS_PER_SCREEN,
    ATTR_SCROLL_MODE,
    ATTR_NUM_TRACES,
    ATTR_NUM_CURSORS,
    ATTR_TRACE_COLOR,
    ATTR_CURSOR_MODE,
    ATTR_CURSOR_POINT_STYLE,
    ATTR_CURSOR_COLOR,
    ATTR_TOOLTIP_TEXT,  // help text shown on hover (and to screen readers)
    ATTR_XNAME,         // axis titles of a strip chart or graph
    ATTR_YNAME,
    ATTR_LEGEND_VISIBLE,  // a strip chart's or graph's legend; hidden until set to 1
    ATTR_TRACE_LG_TEXT,   // a strip-chart trace's name in the legend (SetTraceAttributeEx)
    ATTR_PLOT_LG_TEXT,    // a graph plot's name in the legend (SetPlotAttribute)
};

constexpr int VAL_CONTINUOUS = 1;  // strip-chart scroll mode: the screen scrolls
constexpr int VAL_DOUBLE = 4;      // data types of PlotStripChart and PlotXY
constexpr int VAL_UNSIGNED_SHORT_INTEGER = 7;
constexpr int VAL_THIN_LINE = 0;  // plot styles
constexpr int VAL_CONNECTED_POINTS = 5;
constexpr int VAL_NO_POINT = 10;  // point style
constexpr int VAL_SOLID = 0;      // line styles
constexpr int VAL_DASH = 1;
constexpr int VAL_DOT = 2;
constexpr int VAL_MUTED_DASH = 3;  // a graph's thin dashed line, drawn behind its other plots
constexpr int VAL_XAXIS = 0;  // axes
constexpr int VAL_LEFT_YAXIS = 1;
constexpr int VAL_MANUAL = 0;  // axis scaling
constexpr int VAL_AUTOSCALE = 1;
constexpr int VAL_ALL_PLOTS = -1;
constexpr int VAL_IMMEDIATE_DRAW = 1;
constexpr int VAL_SNAP_TO_POINT = 4;  // cursor mode
constexpr int CTRL_TEXT_MSG = 1;      // NewCtrl styles
constexpr int VAL_OK_BUTTON = 1;      // FileSelectPopup button labels
constexpr int VAL_LOAD_BUTTON = 2;
constexpr int VAL_SAVE_BUTTON = 3;
constexpr int VAL_NO_FILE_SELECTED = 0;
constexpr int VAL_EXISTING_FILE_SELECTED = 1;
constexpr int VAL_NEW_FILE_SELECTED = 2;
constexpr int VAL_BLACK = 0x000000;
constexpr int VAL_WHITE = 0xFFFFFF;
constexpr int VAL_RED = 0xFF0000;
constexpr int VAL_GREEN = 0x00FF00;
constexpr int VAL_DK_GREEN = 0x008000;
constexpr int VAL_BLUE = 0x0000FF;
constexpr int VAL_DK_GRAY = 0x404040;

constexpr int kUiError = -1;  // result of a call on an unknown panel or control

// Object names behind the panel and control constants.
struct UiResourceName {
    int id;
    const char* name;
};
void SetResourceNames(const UiResourceName* names, int count);

// Loads panel (its widget named by the panel constant) from the resource file. A relative
// file name is taken from the program's directory. Negative on failure.
int LoadPanel(int parentPanel, const char* resourceFile, int panelResourceId);
int DisplayPanel(int panel);
int HidePanel(int panel);
int DiscardPanel(int panel);
int InstallCtrlCallback(int panel, int control, CtrlCallbackPtr callback, void* callbackData);
int InstallPanelCallback(int panel, PanelCallbackPtr callback, void* callbackData);

int RunUserInterface();
int QuitUserInterface(int returnCode);

// Values. 16-bit controls exchange unsigned 16-bit values, radio buttons and selectors
// 32-bit integers, text controls zero-terminated UTF-8 text (GetCtrlVal writes at most size
// bytes, terminator included, and never cuts a character in half).
int GetCtrlVal(int panel, int control, unsigned short* value);
int GetCtrlVal(int panel, int control, int* value);
int GetCtrlVal(int panel, int control, char* text, int size);
int SetCtrlVal(int panel, int control, unsigned int value);
int SetCtrlVal(int panel, int control, int value);
int SetCtrlVal(int panel, int control, const char* text);

// List controls (selectors): items with a label and an integer value. The open list is as
// wide as its longest label, which is also each item's tooltip.
int InsertListItem(int panel, int control, int index, const char* label, int value);
int ClearListCtrl(int panel, int control);

int SetCtrlAttribute(int panel, int control, int attribute, int value);
int SetCtrlAttribute(int panel, int control, int attribute, const char* value);

// Creates a control on panel at top/left; returns its new control constant.
int NewCtrl(int panel, int style, const char* label, int top, int left);

// Strip charts: the values go to trace 1, 2, 1, 2, ...
int PlotStripChart(int panel, int control, const void* values, int count, int start, int skip,
                   int dataType);
// Removes every point of every trace: the chart shows none until the next PlotStripChart.
int ClearStripChart(int panel, int control);
int SetTraceAttribute(int panel, int control, int trace, int attribute, int value);
int SetTraceAttributeEx(int panel, int control, int trace, int attribute, const char* value);

// Graphs. Returns a plot handle (> 0) or a negative code.
int PlotXY(int panel, int control, const void* xArray, const void* yArray, int count, int xType,
           int yType, int plotStyle, int pointStyle, int lineStyle, int pointFrequency, int color);
int DeleteGraphPlot(int panel, int control, int plot, int refresh);
int SetPlotAttribute(int panel, int control, int plot, int attribute, const char* value);
int SetAxisScalingMode(int panel, int control, int axis, int mode, double min, double max);
int SetGraphCursor(int panel, int control, int cursor, double x, double y);
int SetCursorAttribute(int panel, int control, int cursor, int attribute, int value);

// File dialog. Result: 0 cancelled, > 0 a file was chosen (its path in path, at most 260
// bytes), < 0 error (a path too long for the buffer). path changes only when a file was
// chosen.
int FileSelectPopup(const char* defaultDirectory, const char* defaultFileName,
                    const char* fileTypeList, const char* title, int buttonLabel,
                    int restrictDirectory, int restrictExtension, int allowCancel,
                    int allowMakeDirectory, char* path);
// Tests answer the dialog through this hook instead of a window: it gets the dialog's title
// and proposed path and returns the result, writing the chosen path. An empty function
// restores the real dialog.
using FileSelectHook = std::function<int(const std::string& title, const std::string& proposedPath,
                                         std::string& chosen)>;
void SetFileSelectHook(FileSelectHook hook);

// The program's directory, at most 260 bytes.
int GetProjectDir(char* directory);
