#include "platform/ui/strip_chart.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QLineSeries>
#include <QMenu>
#include <QPainter>
#include <QToolButton>
#include <QValueAxis>
#include <algorithm>

#include "platform/ui/chart_style.h"
#include "platform/ui/plot_overlay.h"
#include "platform/ui/strip_chart_group.h"
#include "platform/ui/ui_service.h"

namespace {

constexpr int kMaxTraces = 16;
constexpr int kMaxPointsPerScreen = 100000;
// The monitor's raw-value colours first: before the first reply colours the traces, the
// legends already name them in the colours they will be drawn in.
constexpr int kDefaultTraceColors[] = {VAL_BLUE, VAL_DK_GREEN, VAL_RED, VAL_DK_GRAY};

// One pixel wide: the painter draws such lines, antialiased too, with its fast line
// stroker; a wider pen goes through path stroking and filling, ten times the work.
QPen TracePen(int rgb) {
    QPen pen(QColor::fromRgb(static_cast<QRgb>(rgb & 0xFFFFFF)));
    pen.setWidthF(1.0);
    return pen;
}

}  // namespace

StripChart::StripChart(QWidget* parent) : CompactChart(parent) {
    overlay_ = new PlotOverlay(
        this, [this](QPainter& painter, const QRectF& area) { paintTraces(painter, area); });
    setPointsPerScreen(101);
    setTraceCount(2);
    // The overlay draws the traces antialiased; the grid and axes are straight lines on
    // whole pixels, where antialiasing only costs.
    setRenderHint(QPainter::Antialiasing, false);
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
        trace.color = kDefaultTraceColors[traceCount() % 4];
        addSeries(trace.series, TracePen(trace.color));
        traces_.push_back(std::move(trace));
    }
}

void StripChart::setPointsPerScreen(int points) {
    points = std::clamp(points, 2, kMaxPointsPerScreen);
    // The program sets the screen on every redraw; only a change costs anything.
    if (points == pointsPerScreen_) return;
    pointsPerScreen_ = points;
    // The oldest point of a screen sits just off the left edge: a program that redraws its
    // whole history of N samples on a screen of N + 1 then sees exactly that history, as
    // samples 1 to N.
    axisX_->setRange(1, pointsPerScreen_ - 1);
    for (Trace& trace : traces_) {
        while (static_cast<int>(trace.values.size()) > pointsPerScreen_) trace.values.pop_front();
    }
    redraw();
}

void StripChart::appendInterleaved(const std::vector<double>& values) {
    group();
    const size_t n = traces_.size();
    for (size_t i = 0; i < values.size(); ++i) {
        std::deque<double>& buffer = traces_[i % n].values;
        buffer.push_back(values[i]);
        if (static_cast<int>(buffer.size()) > pointsPerScreen_) buffer.pop_front();
    }
    redraw();
}

void StripChart::clear() {
    for (Trace& trace : traces_) trace.values.clear();
    redraw();
}

// Paused, the values only go into the buffers: that is also what makes a paused monitor
// cheap.
void StripChart::redraw() {
    if (paused()) return;
    applyLook();
    drawnAny_ = false;
    for (Trace& trace : traces_) {
        // Right-aligned: the newest point sits at the right edge while the screen fills.
        const int offset = pointsPerScreen_ - static_cast<int>(trace.values.size());
        trace.shown.clear();
        trace.shown.reserve(static_cast<qsizetype>(trace.values.size()));
        int x = offset;
        for (double v : trace.values) {
            trace.shown.append(QPointF(x++, v));
            drawnLo_ = drawnAny_ ? std::min(drawnLo_, v) : v;
            drawnHi_ = drawnAny_ ? std::max(drawnHi_, v) : v;
            drawnAny_ = true;
        }
    }
    rescale();
    overlay_->linesChanged();
}

// The traces in the axes' current ranges, as the chart would draw a line series.
void StripChart::paintTraces(QPainter& painter, const QRectF& area) const {
    const double xMin = axisX_->min();
    const double yMin = axisY_->min();
    const double xScale = area.width() / std::max(axisX_->max() - xMin, 1e-9);
    const double yScale = area.height() / std::max(axisY_->max() - yMin, 1e-9);
    painter.setRenderHint(QPainter::Antialiasing);
    QPolygonF line;
    for (const Trace& trace : traces_) {
        line.resize(trace.shown.size());
        for (qsizetype i = 0; i < trace.shown.size(); ++i) {
            const QPointF& p = trace.shown[i];
            line[i] = QPointF(area.left() + (p.x() - xMin) * xScale,
                              area.bottom() - (p.y() - yMin) * yScale);
        }
        painter.setPen(trace.series->pen());
        painter.drawPolyline(line);
    }
}

void StripChart::rescale() {
    // A chart still being built has no panel, and so no group, yet.
    if (group_) {
        group_->rescale(this);
    } else if (!locked_) {
        fitScale(drawnAny_, drawnLo_, drawnHi_);
    }
}

// Colours and titles change with the view mode; a frozen display keeps those of its picture.
void StripChart::applyLook() {
    for (Trace& trace : traces_) {
        const QColor color = QColor::fromRgb(static_cast<QRgb>(trace.color));
        if (trace.series->pen().color() != color) {
            trace.series->setPen(TracePen(trace.color));
            overlay_->linesChanged();
        }
    }
    CompactChart::setAxisTitle(VAL_XAXIS, xTitle_);
    CompactChart::setAxisTitle(VAL_LEFT_YAXIS, yTitle_);
}

bool StripChart::drawnRange(double* lo, double* hi) const {
    if (!drawnAny_) return false;
    *lo = drawnLo_;
    *hi = drawnHi_;
    return true;
}

void StripChart::fitScale(bool any, double lo, double hi) {
    // Round limits with a little headroom change only when the data crosses a step, so the
    // axis stays still while the traces move.
    const double top = any && hi > 0.0 ? kvui::RoundUp(hi * 1.02) : 100.0;
    const double bottom = any && lo < 0.0 ? -kvui::RoundUp(-lo * 1.02) : 0.0;
    if (axisY_->max() != top || axisY_->min() != bottom) axisY_->setRange(bottom, top);
}

void StripChart::setTraceColor(int trace, int rgb) {
    if (trace < 0 || trace >= traceCount()) return;
    traces_[trace].color = rgb & 0xFFFFFF;
    if (!paused()) applyLook();
}

int StripChart::traceColor(int trace) const {
    if (trace < 0 || trace >= traceCount()) return -1;
    return static_cast<int>(traces_[trace].series->pen().color().rgb() & 0xFFFFFF);
}

void StripChart::setTraceName(int trace, const QString& name) {
    if (trace >= 0 && trace < traceCount()) setSeriesName(traces_[trace].series, name);
}

bool StripChart::setAxisTitle(int which, const QString& title) {
    if (which == VAL_XAXIS) {
        xTitle_ = title;
    } else if (which == VAL_LEFT_YAXIS) {
        yTitle_ = title;
    } else {
        return false;
    }
    if (!paused()) CompactChart::setAxisTitle(which, title);
    return true;
}

void StripChart::setCaption(const QString& caption) {
    chart()->setTitle(caption);
}

std::vector<double> StripChart::traceValues(int trace) const {
    if (trace < 0 || trace >= traceCount()) return {};
    // Read back what the chart draws, not the buffer behind it.
    std::vector<double> ys;
    for (const QPointF& point : traces_[trace].shown) ys.push_back(point.y());
    return ys;
}

QList<QPointF> StripChart::shownPoints(const QXYSeries* series) const {
    for (const Trace& trace : traces_) {
        if (trace.series == series) return trace.shown;
    }
    return {};
}

double StripChart::axisMax() const {
    return axisY_->max();
}

std::pair<double, double> StripChart::yRange() const {
    return {axisY_->min(), axisY_->max()};
}

StripChartGroup* StripChart::group() {
    // Found on first use, once the panel has its final place among the windows.
    if (!group_) StripChartGroup::of(this);
    return group_;
}

bool StripChart::paused() const {
    return group_ && group_->paused();
}

void StripChart::setScaleLocked(bool locked) {
    group()->setLocked(this, locked);
}

void StripChart::showLocked(bool locked, double lo, double hi) {
    locked_ = locked;
    if (locked && (axisY_->min() != lo || axisY_->max() != hi)) axisY_->setRange(lo, hi);
    if (menu_) (locked ? lockScale_ : autoScale_)->setChecked(true);
}

void StripChart::showPaused(bool paused) {
    if (!paused) redraw();
}

QMenu* StripChart::menu() {
    if (menu_) return menu_;
    menu_ = new QMenu(this);
    auto* scale = new QActionGroup(menu_);
    autoScale_ = menu_->addAction(tr("Automatic scale"));
    lockScale_ = menu_->addAction(tr("Lock this scale"));
    for (QAction* action : {autoScale_, lockScale_}) {
        action->setCheckable(true);
        scale->addAction(action);
    }
    (locked_ ? lockScale_ : autoScale_)->setChecked(true);
    connect(autoScale_, &QAction::triggered, this, [this] { setScaleLocked(false); });
    connect(lockScale_, &QAction::triggered, this, [this] { setScaleLocked(true); });
    menu_->addAction(group()->shareScaleAction());
    menu_->addSeparator();
    menu_->addAction(group()->pauseAction());
    return menu_;
}

void StripChart::contextMenuEvent(QContextMenuEvent* event) {
    menu()->popup(event->globalPos());
    event->accept();
}

// One click freezes the display: a small Pause button in the chart's top right corner,
// on the legend's line.
void StripChart::showEvent(QShowEvent* event) {
    CompactChart::showEvent(event);
    if (pauseButton_) return;
    pauseButton_ = new QToolButton(this);
    pauseButton_->setDefaultAction(group()->pauseAction());
    pauseButton_->setFocusPolicy(Qt::NoFocus);
    QFont font = pauseButton_->font();
    if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * 0.8);
    pauseButton_->setFont(font);
    // A light frame says "button" without competing with the traces; amber says "paused".
    pauseButton_->setStyleSheet(QStringLiteral(
        "QToolButton { padding: 0 4px; border: 1px solid #b8b8b8; border-radius: 2px;"
        " background: #f6f6f6; }"
        "QToolButton:checked { background: #ffd966; border-color: #b08000; }"));
    placePauseButton();
    pauseButton_->show();
}

void StripChart::resizeEvent(QResizeEvent* event) {
    CompactChart::resizeEvent(event);
    placePauseButton();
}

void StripChart::placePauseButton() {
    if (!pauseButton_) return;
    pauseButton_->adjustSize();
    pauseButton_->move(width() - pauseButton_->width() - 2, 1);
}
