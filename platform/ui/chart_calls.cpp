// Strip-chart and graph calls.
#include <QList>
#include <QPointF>
#include <tuple>
#include <vector>

#include "platform/ui/data_graph.h"
#include "platform/ui/strip_chart.h"
#include "platform/ui/ui_registry.h"
#include "platform/ui/ui_service.h"

namespace {

bool KnownType(int dataType) {
    return dataType == VAL_DOUBLE || dataType == VAL_UNSIGNED_SHORT_INTEGER;
}

double Element(const void* array, int dataType, long long index) {
    if (dataType == VAL_DOUBLE) return static_cast<const double*>(array)[index];
    return static_cast<const unsigned short*>(array)[index];
}

}  // namespace

int PlotStripChart(int panel, int control, const void* values, int count, int start, int skip,
                   int dataType) {
    StripChart* chart = kvui::FindControlAs<StripChart>(panel, control);
    if (!chart || count < 0 || start < 0 || skip < 0 || !KnownType(dataType)) return kUiError;
    if (count > 0 && !values) return kUiError;
    // count points, the first at start, each followed by skip unused elements.
    std::vector<double> points(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        points[i] = Element(values, dataType, start + static_cast<long long>(i) * (skip + 1));
    chart->appendInterleaved(points);
    return 0;
}

int ClearStripChart(int panel, int control) {
    StripChart* chart = kvui::FindControlAs<StripChart>(panel, control);
    if (!chart) return kUiError;
    chart->clear();
    return 0;
}

int SetTraceAttribute(int panel, int control, int trace, int attribute, int value) {
    StripChart* chart = kvui::FindControlAs<StripChart>(panel, control);
    if (!chart || trace < 1 || trace > chart->traceCount() || attribute != ATTR_TRACE_COLOR)
        return kUiError;
    chart->setTraceColor(trace - 1, value);
    return 0;
}

int SetTraceAttributeEx(int panel, int control, int trace, int attribute, const char* value) {
    StripChart* chart = kvui::FindControlAs<StripChart>(panel, control);
    if (!chart || !value || trace < 1 || trace > chart->traceCount() ||
        attribute != ATTR_TRACE_LG_TEXT)
        return kUiError;
    chart->setTraceName(trace - 1, QString::fromUtf8(value));
    return 0;
}

int PlotXY(int panel, int control, const void* xArray, const void* yArray, int count, int xType,
           int yType, int plotStyle, int pointStyle, int lineStyle, int /*pointFrequency*/,
           int color) {
    DataGraph* graph = kvui::FindControlAs<DataGraph>(panel, control);
    if (!graph || count < 0 || !KnownType(xType) || !KnownType(yType)) return kUiError;
    if (count > 0 && (!xArray || !yArray)) return kUiError;
    QList<QPointF> points;
    points.reserve(count);
    for (int i = 0; i < count; ++i)
        points.append(QPointF(Element(xArray, xType, i), Element(yArray, yType, i)));
    return graph->addPlot(points, plotStyle, pointStyle, lineStyle, color);
}

int DeleteGraphPlot(int panel, int control, int plot, int /*refresh*/) {
    DataGraph* graph = kvui::FindControlAs<DataGraph>(panel, control);
    if (!graph) return kUiError;
    if (plot == VAL_ALL_PLOTS) {
        graph->deleteAllPlots();
        return 0;
    }
    return graph->deletePlot(plot) ? 0 : kUiError;
}

int SetPlotAttribute(int panel, int control, int plot, int attribute, const char* value) {
    DataGraph* graph = kvui::FindControlAs<DataGraph>(panel, control);
    if (!graph || !value || attribute != ATTR_PLOT_LG_TEXT) return kUiError;
    return graph->setPlotName(plot, QString::fromUtf8(value)) ? 0 : kUiError;
}

int SetAxisScalingMode(int panel, int control, int axis, int mode, double min, double max) {
    DataGraph* graph = kvui::FindControlAs<DataGraph>(panel, control);
    if (!graph) return kUiError;
    if (mode == VAL_MANUAL) return graph->setAxisManual(axis, min, max) ? 0 : kUiError;
    if (mode == VAL_AUTOSCALE) return graph->setAxisAutomatic(axis) ? 0 : kUiError;
    return kUiError;
}

int SetGraphCursor(int panel, int control, int cursor, double x, double y) {
    DataGraph* graph = kvui::FindControlAs<DataGraph>(panel, control);
    if (!graph || cursor != 1) return kUiError;
    graph->setCursorPosition(x, y);
    return 0;
}

int SetCursorAttribute(int panel, int control, int cursor, int attribute, int value) {
    DataGraph* graph = kvui::FindControlAs<DataGraph>(panel, control);
    if (!graph || cursor != 1) return kUiError;
    switch (attribute) {
        case ATTR_CURSOR_MODE:
            graph->setCursorMode(value);
            return 0;
        case ATTR_CURSOR_COLOR:
            graph->setCursorColor(value);
            return 0;
        case ATTR_CURSOR_POINT_STYLE:
            return 0;  // the crosshair has one look
        default:
            return kUiError;
    }
}
