#include "platform/ui/chart_style.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QLegend>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace kvui {
namespace {

// Small enough that a legend line and the axis titles take little from the plot.
QFont SmallFont(QFont font) {
    if (font.pointSizeF() > 0) font.setPointSizeF(std::max(6.5, font.pointSizeF() * 0.8));
    return font;
}

}  // namespace

void StyleCompactChart(QChart* chart) {
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
}

double RoundUp(double value) {
    static const double kSteps[] = {1.0, 1.2, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0};
    const double decade = std::pow(10.0, std::floor(std::log10(value)));
    for (double step : kSteps) {
        if (step * decade >= value * (1.0 - 1e-12)) return step * decade;
    }
    return 10.0 * decade;
}

}  // namespace kvui

namespace kvui {

void SetUpCompactChart(QChartView* view, QValueAxis*& x, QValueAxis*& y) {
    auto* chart = new QChart();
    StyleCompactChart(chart);
    x = new QValueAxis(chart);
    y = new QValueAxis(chart);
    x->setLabelFormat(QStringLiteral("%d"));
    y->setLabelFormat(QStringLiteral("%d"));
    // Ranges set before the axes join the chart cost nothing; after, each lays out labels.
    x->setRange(0, 100);
    y->setRange(0, 100);
    // The view lays its chart out at once; axes that join later wait for the next layout,
    // which the panel's own layout brings anyway. It made a chart of its own and releases
    // it to the caller without deleting it.
    QChart* own = view->chart();
    view->setChart(chart);
    delete own;
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(200, 120);
}

void StyleCompactLegend(QLegend* legend) {
    legend->setAlignment(Qt::AlignTop);
    legend->setMarkerShape(QLegend::MarkerShapeFromSeries);
    legend->setFont(SmallFont(legend->font()));
    legend->setContentsMargins(0, 0, 0, 0);
    legend->setShowToolTips(true);  // names cut short by a narrow chart
    legend->hide();
}

void SetCompactAxisTitle(QValueAxis* axis, const QString& title) {
    if (axis->titleText().isEmpty()) axis->setTitleFont(SmallFont(axis->titleFont()));
    axis->setTitleText(title);
}

}  // namespace kvui
