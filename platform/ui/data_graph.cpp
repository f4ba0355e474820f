#include "platform/ui/data_graph.h"

#include <QGraphicsEllipseItem>
#include <QGraphicsLineItem>
#include <QLineSeries>
#include <QMouseEvent>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/ui/ui_service.h"

namespace {

constexpr qreal kCursorZ = 1000.0;  // above every series
constexpr qreal kMarkRadius = 6.0;

}  // namespace

DataGraph::DataGraph(QWidget* parent) : CompactChart(parent) {
    QChart* chart = this->chart();

    cursorV_ = new QGraphicsLineItem(chart);
    cursorH_ = new QGraphicsLineItem(chart);
    cursorMark_ = new QGraphicsEllipseItem(chart);
    for (QGraphicsItem* item :
         {static_cast<QGraphicsItem*>(cursorV_), static_cast<QGraphicsItem*>(cursorH_),
          static_cast<QGraphicsItem*>(cursorMark_)}) {
        item->setZValue(kCursorZ);
        item->hide();
    }
    cursorMark_->setBrush(Qt::NoBrush);
    setCursorColor(0x0050D0);

    connect(chart, &QChart::plotAreaChanged, this, [this] { placeCursor(); });
    connect(axisX_, &QValueAxis::rangeChanged, this, [this] { placeCursor(); });
    connect(axisY_, &QValueAxis::rangeChanged, this, [this] { placeCursor(); });
}

int DataGraph::addPlot(const QList<QPointF>& points, int plotStyle, int pointStyle, int lineStyle,
                       int color) {
    auto* series = new QLineSeries();
    QPen pen(QColor::fromRgb(static_cast<QRgb>(color & 0xFFFFFF)));
    const bool connectedPoints = plotStyle == VAL_CONNECTED_POINTS;
    const bool muted = lineStyle == VAL_MUTED_DASH;
    pen.setWidthF(connectedPoints ? 1.5 : 1.0);
    pen.setStyle(lineStyle == VAL_DASH || muted ? Qt::DashLine
                 : lineStyle == VAL_DOT         ? Qt::DotLine
                                                : Qt::SolidLine);
    series->replace(points);
    addSeries(series, pen);
    // Connected points always mark their samples: that is what sets the plot style apart
    // from a plain line, whatever the point style.
    (void)pointStyle;
    if (connectedPoints) {
        series->setPointsVisible(true);
        series->setMarkerSize(4.0);
    }
    const int handle = nextHandle_++;
    if (muted) {
        // After the muted plots already there, before all others.
        const auto firstPlain =
            std::find_if(plots_.begin(), plots_.end(), [](const Plot& p) { return !p.muted; });
        const bool onTop = firstPlain == plots_.end();
        plots_.insert(firstPlain, {handle, series, true});
        if (!onTop) restack();
    } else {
        plots_.push_back({handle, series, false});
    }
    rescale();
    return handle;
}

bool DataGraph::deletePlot(int handle) {
    auto it = std::find_if(plots_.begin(), plots_.end(),
                           [handle](const Plot& p) { return p.handle == handle; });
    if (it == plots_.end()) return false;
    chart()->removeSeries(it->series);
    delete it->series;
    plots_.erase(it);
    rescale();
    return true;
}

void DataGraph::deleteAllPlots() {
    for (Plot& plot : plots_) {
        chart()->removeSeries(plot.series);
        delete plot.series;
    }
    plots_.clear();
    rescale();
}

bool DataGraph::setPlotName(int handle, const QString& name) {
    auto it = std::find_if(plots_.begin(), plots_.end(),
                           [handle](const Plot& p) { return p.handle == handle; });
    if (it == plots_.end()) return false;
    setSeriesName(it->series, name);
    return true;
}

QList<QPointF> DataGraph::plotPoints(int index) const {
    if (index < 0 || index >= plotCount()) return {};
    return plots_[index].series->points();
}

DataGraph::PlotLook DataGraph::plotLook(int index) const {
    if (index < 0 || index >= plotCount()) return {};
    const QLineSeries* series = plots_[index].series;
    return {static_cast<int>(series->pen().color().rgb() & 0xFFFFFF),
            series->pen().style() != Qt::SolidLine, series->pointsVisible()};
}

bool DataGraph::setAxisManual(int which, double min, double max) {
    QValueAxis* a = axis(which);
    if (!a || !(min < max)) return false;
    (which == VAL_XAXIS ? manualX_ : manualY_) = true;
    a->setRange(min, max);
    return true;
}

bool DataGraph::setAxisAutomatic(int which) {
    if (!axis(which)) return false;
    (which == VAL_XAXIS ? manualX_ : manualY_) = false;
    rescale();
    return true;
}

bool DataGraph::axisRange(int which, double* min, double* max) const {
    QValueAxis* a = axis(which);
    if (!a) return false;
    if (min) *min = a->min();
    if (max) *max = a->max();
    return true;
}

// The caption is the chart's title: as the y axis's name it would squeeze the axis labels.
void DataGraph::setCaption(const QString& caption) {
    QFont font = chart()->titleFont();
    font.setPointSizeF(std::max(7.0, font.pointSizeF() * 0.9));
    chart()->setTitleFont(font);
    chart()->setTitle(caption);
}

QString DataGraph::caption() const {
    return chart()->title();
}

void DataGraph::rescale() {
    if (manualX_ && manualY_) return;
    double x0 = std::numeric_limits<double>::max(), x1 = std::numeric_limits<double>::lowest();
    double y0 = x0, y1 = x1;
    for (const Plot& plot : plots_) {
        for (const QPointF& p : plot.series->points()) {
            x0 = std::min(x0, p.x());
            x1 = std::max(x1, p.x());
            y0 = std::min(y0, p.y());
            y1 = std::max(y1, p.y());
        }
    }
    if (x0 > x1) return;  // nothing plotted: keep the last range
    auto fit = [](QValueAxis* a, double lo, double hi) {
        if (lo == hi) {
            lo -= 1.0;
            hi += 1.0;
        }
        a->setRange(lo, hi);
        a->applyNiceNumbers();
    };
    if (!manualX_) fit(axisX_, x0, x1);
    if (!manualY_) fit(axisY_, y0, y1);
}

void DataGraph::setCursorCount(int count) {
    cursorCount_ = std::clamp(count, 0, 1);
    placeCursor();
}

void DataGraph::setCursorPosition(double x, double y) {
    cursor_ = QPointF(x, y);
    placeCursor();
}

bool DataGraph::cursorDrawn() const {
    return cursorMark_->isVisible();
}

void DataGraph::setCursorColor(int rgb) {
    QPen pen(QColor::fromRgb(static_cast<QRgb>(rgb & 0xFFFFFF)));
    pen.setWidthF(1.0);
    cursorV_->setPen(pen);
    cursorH_->setPen(pen);
    pen.setWidthF(2.0);
    cursorMark_->setPen(pen);
}

void DataGraph::placeCursor() {
    // Qt Charts has no cursor; a crosshair of plain graphics items stands in for it, mapped
    // from axis values to the plot area by hand so it needs no series.
    const QRectF area = chart()->plotArea();
    const double xSpan = axisX_->max() - axisX_->min();
    const double ySpan = axisY_->max() - axisY_->min();
    bool show = cursorCount_ > 0 && xSpan > 0 && ySpan > 0 && area.isValid();
    QPointF at;
    if (show) {
        at = QPointF(area.left() + (cursor_.x() - axisX_->min()) / xSpan * area.width(),
                     area.bottom() - (cursor_.y() - axisY_->min()) / ySpan * area.height());
        show = area.adjusted(-0.5, -0.5, 0.5, 0.5).contains(at);
    }
    cursorV_->setVisible(show);
    cursorH_->setVisible(show);
    cursorMark_->setVisible(show);
    if (!show) return;
    cursorV_->setLine(at.x(), area.top(), at.x(), area.bottom());
    cursorH_->setLine(area.left(), at.y(), area.right(), at.y());
    cursorMark_->setRect(at.x() - kMarkRadius, at.y() - kMarkRadius, 2 * kMarkRadius,
                         2 * kMarkRadius);
}

void DataGraph::restack() {
    for (Plot& plot : plots_) {
        const QPen pen = plot.series->pen();
        chart()->removeSeries(plot.series);
        addSeries(plot.series, pen);
    }
}

QString DataGraph::readoutText(QPoint pos) const {
    const QRectF area = chart()->plotArea();
    const QPointF at = chart()->mapFromScene(mapToScene(pos));
    const double xSpan = axisX_->max() - axisX_->min();
    // A pixel or two of slack, so that the samples on the area's edges can be pointed at.
    if (!area.isValid() || xSpan <= 0 || !area.adjusted(-2, -2, 2, 2).contains(at)) return {};
    const double x = axisX_->min() + (at.x() - area.left()) / area.width() * xSpan;
    const double sample = std::round(std::clamp(x, axisX_->min(), axisX_->max()));
    QString text = QStringLiteral("sample %1").arg(sample);
    if (!axisY_->titleText().isEmpty()) text += QStringLiteral(" (%1)").arg(axisY_->titleText());
    for (const Plot& plot : plots_) {
        if (plot.series->name().isEmpty()) continue;
        // The samples lie at whole x values in rising order.
        const QList<QPointF> points = plot.series->points();
        const auto it = std::lower_bound(points.begin(), points.end(), sample,
                                         [](const QPointF& p, double x) { return p.x() < x; });
        if (it == points.end() || it->x() != sample) continue;
        text += QStringLiteral("\n%1: %2").arg(plot.series->name(), QString::number(it->y()));
    }
    return text;
}

// Mouse moves reach the graph only while the pointer is over it: elsewhere this costs
// nothing.
void DataGraph::mouseMoveEvent(QMouseEvent* event) {
    QChartView::mouseMoveEvent(event);
    const QString text = readoutText(event->position().toPoint());
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(event->globalPosition().toPoint(), text, viewport());
    }
}
