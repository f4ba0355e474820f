#include "platform/ui/strip_chart.h"

#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>

#include "platform/ui/chart_style.h"

namespace {

constexpr int kMaxTraces = 16;
constexpr int kMaxPointsPerScreen = 100000;
const QColor kDefaultTraceColors[] = {QColor(0xd0, 0x20, 0x20), QColor(0x20, 0x40, 0xd0),
                                      QColor(0x10, 0x90, 0x30), QColor(0xa0, 0x60, 0x00)};

}  // namespace

StripChart::StripChart(QWidget* parent) : QChartView(parent) {
    kvui::SetUpCompactChart(this, axisX_, axisY_);
    setTraceCount(2);
    setPointsPerScreen(101);
    axisY_->setRange(0, 100);
}

void StripChart::setTraceCount(int count) {
    count = std::clamp(count, 1, kMaxTraces);
    while (traceCount() > count) {
        chart()->removeSeries(traces_.back().series);
        delete traces_.back().series;
        traces_.pop_back();
    }
    while (traceCount() < count) {
        Trace trace;
        trace.series = new QLineSeries();
        trace.series->setUseOpenGL(false);
        const int i = traceCount();
        trace.series->setName(QStringLiteral("Trace %1").arg(i + 1));
        QPen pen(kDefaultTraceColors[i % 4]);
        pen.setWidthF(1.5);
        trace.series->setPen(pen);
        chart()->addSeries(trace.series);
        trace.series->attachAxis(axisX_);
        trace.series->attachAxis(axisY_);
        traces_.push_back(std::move(trace));
    }
}

void StripChart::setPointsPerScreen(int points) {
    points = std::clamp(points, 2, kMaxPointsPerScreen);
    // The program sets the screen on every redraw; only a change costs anything.
    if (points == pointsPerScreen_) return;
    pointsPerScreen_ = points;
    // The oldest point of a screen sits just off the left edge: a program that redraws its
    // whole history of N samples on a screen of N + 1 then sees exactly that history.
    axisX_->setRange(1, pointsPerScreen_ - 1);
    for (Trace& trace : traces_) {
        while (static_cast<int>(trace.values.size()) > pointsPerScreen_) trace.values.pop_front();
    }
    redraw();
}

void StripChart::appendInterleaved(const std::vector<double>& values) {
    const size_t n = traces_.size();
    for (size_t i = 0; i < values.size(); ++i) {
        std::deque<double>& buffer = traces_[i % n].values;
        buffer.push_back(values[i]);
        if (static_cast<int>(buffer.size()) > pointsPerScreen_) buffer.pop_front();
    }
    redraw();
}

void StripChart::redraw() {
    for (Trace& trace : traces_) {
        // Right-aligned: the newest point sits at the right edge while the screen fills.
        const int offset = pointsPerScreen_ - static_cast<int>(trace.values.size());
        scratch_.clear();
        scratch_.reserve(static_cast<qsizetype>(trace.values.size()));
        int x = offset;
        for (double v : trace.values) scratch_.append(QPointF(x++, v));
        trace.series->replace(scratch_);
    }
    rescaleY();
}

void StripChart::rescaleY() {
    double lo = 0.0;
    double hi = 0.0;
    bool any = false;
    for (const Trace& trace : traces_) {
        for (double v : trace.values) {
            lo = any ? std::min(lo, v) : v;
            hi = any ? std::max(hi, v) : v;
            any = true;
        }
    }
    // Round limits with a little headroom change only when the data crosses a step, so the
    // axis stays still while the traces move.
    const double top = hi > 0.0 ? kvui::RoundUp(hi * 1.02) : 100.0;
    const double bottom = lo < 0.0 ? -kvui::RoundUp(-lo * 1.02) : 0.0;
    if (axisY_->max() != top || axisY_->min() != bottom) axisY_->setRange(bottom, top);
}

void StripChart::setTraceColor(int trace, int rgb) {
    if (trace < 0 || trace >= traceCount()) return;
    QPen pen = traces_[trace].series->pen();
    const QColor color = QColor::fromRgb(static_cast<QRgb>(rgb & 0xFFFFFF));
    if (pen.color() == color) return;
    pen.setColor(color);
    traces_[trace].series->setPen(pen);
}

int StripChart::traceColor(int trace) const {
    if (trace < 0 || trace >= traceCount()) return -1;
    return static_cast<int>(traces_[trace].series->pen().color().rgb() & 0xFFFFFF);
}

void StripChart::setCaption(const QString& caption) {
    chart()->setTitle(caption);
}

std::vector<double> StripChart::traceValues(int trace) const {
    if (trace < 0 || trace >= traceCount()) return {};
    // Read back what the chart draws, not the buffer behind it.
    std::vector<double> ys;
    for (const QPointF& point : traces_[trace].series->points()) ys.push_back(point.y());
    return ys;
}

double StripChart::axisMax() const {
    return axisY_->max();
}
