#include "tests/support/ui/ui_readback.h"

#include <QPointF>
#include <QVariant>
#include <tuple>

#include "platform/ui/ctrl_properties.h"
#include "platform/ui/data_graph.h"
#include "platform/ui/strip_chart.h"
#include "platform/ui/ui_registry.h"
#include "platform/ui/ui_service.h"

using kvui::kBgColorProperty;
using kvui::kTextColorProperty;

namespace {

CompactChart* FindChart(int panel, int control) {
    return qobject_cast<CompactChart*>(kvui::FindControl(panel, control));
}

StripChart* FindStripChart(int panel, int control) {
    return qobject_cast<StripChart*>(kvui::FindControl(panel, control));
}

DataGraph* FindGraph(int panel, int control) {
    return qobject_cast<DataGraph*>(kvui::FindControl(panel, control));
}

}  // namespace

int GetCtrlAttribute(int panel, int control, int attribute, int* value) {
    QWidget* w = kvui::FindControl(panel, control);
    if (!w || !value) return kUiError;
    auto* strip = qobject_cast<StripChart*>(w);
    auto* graph = qobject_cast<DataGraph*>(w);
    switch (attribute) {
        case ATTR_VISIBLE:
            *value = w->isHidden() ? 0 : 1;
            return 0;
        case ATTR_DIMMED:
            *value = w->testAttribute(Qt::WA_ForceDisabled) ? 1 : 0;
            return 0;
        case ATTR_TEXT_COLOR: {
            const QVariant v = w->property(kTextColorProperty);
            *value =
                v.isValid()
                    ? v.toInt()
                    : static_cast<int>(w->palette().color(w->foregroundRole()).rgb() & 0xFFFFFF);
            return 0;
        }
        case ATTR_TEXT_BGCOLOR: {
            const QVariant v = w->property(kBgColorProperty);
            *value =
                v.isValid()
                    ? v.toInt()
                    : static_cast<int>(w->palette().color(w->backgroundRole()).rgb() & 0xFFFFFF);
            return 0;
        }
        case ATTR_TEXT_POINT_SIZE:
            *value = w->font().pointSize();
            return 0;
        case ATTR_POINTS_PER_SCREEN:
            if (!strip) return kUiError;
            *value = strip->pointsPerScreen();
            return 0;
        case ATTR_NUM_TRACES:
            if (!strip) return kUiError;
            *value = strip->traceCount();
            return 0;
        case ATTR_SCROLL_MODE:
            if (!strip) return kUiError;
            *value = strip->scrollMode();
            return 0;
        case ATTR_NUM_CURSORS:
            if (!graph) return kUiError;
            *value = graph->cursorCount();
            return 0;
        case ATTR_LEGEND_VISIBLE: {
            auto* chart = qobject_cast<CompactChart*>(w);
            if (!chart) return kUiError;
            *value = chart->legendVisible() ? 1 : 0;
            return 0;
        }
        default:
            return kUiError;
    }
}

int GetGraphCursor(int panel, int control, int cursor, double* x, double* y) {
    DataGraph* graph = FindGraph(panel, control);
    if (!graph || cursor != 1 || !x || !y) return kUiError;
    *x = graph->cursorPosition().x();
    *y = graph->cursorPosition().y();
    return 0;
}

int GraphPlotCount(int panel, int control) {
    DataGraph* graph = FindGraph(panel, control);
    return graph ? graph->plotCount() : kUiError;
}

std::vector<std::pair<double, double>> GraphPlotPoints(int panel, int control, int plotIndex) {
    DataGraph* graph = FindGraph(panel, control);
    std::vector<std::pair<double, double>> result;
    if (!graph) return result;
    for (const QPointF& p : graph->plotPoints(plotIndex)) result.emplace_back(p.x(), p.y());
    return result;
}

GraphPlotStyle GraphPlotLook(int panel, int control, int plotIndex) {
    DataGraph* graph = FindGraph(panel, control);
    if (!graph || plotIndex < 0 || plotIndex >= graph->plotCount()) return {};
    const DataGraph::PlotLook look = graph->plotLook(plotIndex);
    return {look.color, look.dashed, look.markers};
}

int GraphAxisRange(int panel, int control, int axis, double* min, double* max) {
    DataGraph* graph = FindGraph(panel, control);
    if (!graph) return kUiError;
    return graph->axisRange(axis, min, max) ? 0 : kUiError;
}

bool GraphCursorDrawn(int panel, int control) {
    DataGraph* graph = FindGraph(panel, control);
    return graph && graph->cursorDrawn();
}

std::string GraphCaption(int panel, int control) {
    DataGraph* graph = FindGraph(panel, control);
    return graph ? graph->caption().toStdString() : std::string();
}

int StripChartPointCount(int panel, int control, int trace) {
    StripChart* chart = FindStripChart(panel, control);
    if (!chart || trace < 1 || trace > chart->traceCount()) return kUiError;
    return static_cast<int>(chart->traceValues(trace - 1).size());
}

std::vector<double> StripChartTrace(int panel, int control, int trace) {
    StripChart* chart = FindStripChart(panel, control);
    if (!chart) return {};
    return chart->traceValues(trace - 1);
}

int TraceColor(int panel, int control, int trace) {
    StripChart* chart = FindStripChart(panel, control);
    if (!chart || trace < 1 || trace > chart->traceCount()) return kUiError;
    return chart->traceColor(trace - 1);
}

double StripChartAxisMax(int panel, int control) {
    StripChart* chart = FindStripChart(panel, control);
    return chart ? chart->axisMax() : 0.0;
}

int StripChartAxisRange(int panel, int control, double* min, double* max) {
    StripChart* chart = FindStripChart(panel, control);
    if (!chart || !min || !max) return kUiError;
    std::tie(*min, *max) = chart->yRange();
    return 0;
}

std::string ChartAxisTitle(int panel, int control, int axis) {
    CompactChart* chart = FindChart(panel, control);
    return chart ? chart->axisTitle(axis).toStdString() : std::string();
}

std::vector<ChartLegendEntry> ChartLegend(int panel, int control) {
    CompactChart* chart = FindChart(panel, control);
    std::vector<ChartLegendEntry> entries;
    if (!chart) return entries;
    for (const CompactChart::LegendEntry& e : chart->legendEntries())
        entries.push_back({e.text.toStdString(), e.color, e.style != Qt::SolidLine});
    return entries;
}
