#include "platform/ui/compact_chart.h"

#include <QLegend>
#include <QLegendMarker>
#include <QMouseEvent>
#include <QToolTip>
#include <QValueAxis>
#include <QXYSeries>
#include <algorithm>

#include "platform/ui/chart_style.h"
#include "platform/ui/ui_service.h"

namespace {

constexpr double kHoverRadius = 12.0;  // pixels from a point that still count as on it

}  // namespace

CompactChart::CompactChart(QWidget* parent) : QChartView(parent) {
    kvui::SetUpCompactChart(this, axisX_, axisY_);
    kvui::StyleCompactLegend(chart()->legend());
    viewport()->setMouseTracking(true);
}

QValueAxis* CompactChart::axis(int which) const {
    if (which == VAL_XAXIS) return axisX_;
    if (which == VAL_LEFT_YAXIS) return axisY_;
    return nullptr;
}

bool CompactChart::setAxisTitle(int which, const QString& title) {
    QValueAxis* a = axis(which);
    if (!a) return false;
    // Set on every monitor redraw: an unchanged title must not relayout the chart.
    if (a->titleText() != title) kvui::SetCompactAxisTitle(a, title);
    return true;
}

QString CompactChart::axisTitle(int which) const {
    QValueAxis* a = axis(which);
    return a ? a->titleText() : QString();
}

void CompactChart::setLegendVisible(bool visible) {
    chart()->legend()->setVisible(visible);
    syncLegend();
}

bool CompactChart::legendVisible() const {
    return chart()->legend()->isVisible();
}

std::vector<CompactChart::LegendEntry> CompactChart::legendEntries() const {
    std::vector<LegendEntry> entries;
    if (!legendVisible()) return entries;
    for (QLegendMarker* marker : chart()->legend()->markers()) {
        // The rule syncLegend applies; the markers' own visibility also waits for a layout.
        if (marker->label().isEmpty()) continue;
        // The marker's colour follows its series, and its piece of line is drawn with the
        // series' pen.
        auto* series = qobject_cast<QXYSeries*>(marker->series());
        const Qt::PenStyle style = series ? series->pen().style() : Qt::SolidLine;
        entries.push_back(
            {marker->label(), static_cast<int>(marker->brush().color().rgb() & 0xFFFFFF), style});
    }
    return entries;
}

QList<QPointF> CompactChart::shownPoints(const QXYSeries* series) const {
    return series->points();
}

void CompactChart::addSeries(QXYSeries* series, const QPen& pen) {
    series->setUseOpenGL(false);
    chart()->addSeries(series);
    // Styled after addSeries, which applies the chart theme.
    series->setPen(pen);
    series->attachAxis(axisX_);
    series->attachAxis(axisY_);
    syncLegend();
}

void CompactChart::setSeriesName(QXYSeries* series, const QString& name) {
    if (series->name() == name) return;
    series->setName(name);
    syncLegend();
}

// Qt gives every series a marker; only the named ones mean anything to the operator.
void CompactChart::syncLegend() {
    for (QLegendMarker* marker : chart()->legend()->markers())
        marker->setVisible(!marker->label().isEmpty());
}

QString CompactChart::hoverText(QPoint pos) const {
    const QRectF area = chart()->plotArea();
    const QPointF at = chart()->mapFromScene(mapToScene(pos));
    const double xSpan = axisX_->max() - axisX_->min();
    const double ySpan = axisY_->max() - axisY_->min();
    if (!area.isValid() || xSpan <= 0 || ySpan <= 0) return {};
    if (!area.adjusted(-kHoverRadius, -kHoverRadius, kHoverRadius, kHoverRadius).contains(at))
        return {};
    // Distances are measured in pixels, so a point counts as hit however the axes scale.
    const double xPerPixel = xSpan / area.width();
    const double yPerPixel = ySpan / area.height();
    const double x = axisX_->min() + (at.x() - area.left()) * xPerPixel;
    const double y = axisY_->min() + (area.bottom() - at.y()) * yPerPixel;

    const QXYSeries* best = nullptr;
    QPointF bestPoint;
    double bestDistance = kHoverRadius * kHoverRadius;
    for (QAbstractSeries* s : chart()->series()) {
        auto* series = qobject_cast<QXYSeries*>(s);
        if (!series || !series->isVisible()) continue;
        for (const QPointF& p : shownPoints(series)) {
            // Points off the visible range (a strip chart's oldest one) cannot be pointed at.
            if (p.x() < axisX_->min() || p.x() > axisX_->max()) continue;
            const double dx = (p.x() - x) / xPerPixel;
            const double dy = (p.y() - y) / yPerPixel;
            const double distance = dx * dx + dy * dy;
            // Later series are drawn on top, so they win a tie.
            if (distance <= bestDistance) {
                bestDistance = distance;
                best = series;
                bestPoint = p;
            }
        }
    }
    if (!best) return {};
    QString text =
        QStringLiteral("sample %1: %2")
            .arg(QString::number(bestPoint.x(), 'g', 10), QString::number(bestPoint.y(), 'g', 10));
    if (!axisY_->titleText().isEmpty()) text += QLatin1Char(' ') + axisY_->titleText();
    if (!best->name().isEmpty()) text = best->name() + QStringLiteral(", ") + text;
    return text;
}

void CompactChart::mouseMoveEvent(QMouseEvent* event) {
    QChartView::mouseMoveEvent(event);
    const QString text = hoverText(event->position().toPoint());
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(event->globalPosition().toPoint(), text, viewport());
    }
}

void CompactChart::leaveEvent(QEvent* event) {
    QToolTip::hideText();
    QChartView::leaveEvent(event);
}
