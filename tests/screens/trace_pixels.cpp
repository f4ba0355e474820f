#include "tests/screens/trace_pixels.h"

#include <QChart>
#include <QColor>
#include <QWidget>
#include <cmath>

#include "platform/ui/strip_chart.h"

namespace {

// An antialiased line on white is drawn in blends of its colour with white: pixels near that
// blend, at least a third of the colour (the chart's light grey grid is less of any).
bool Near(QRgb pixel, int colour) {
    const double p[3] = {qRed(pixel) - 255.0, qGreen(pixel) - 255.0, qBlue(pixel) - 255.0};
    const double c[3] = {((colour >> 16) & 0xFF) - 255.0, ((colour >> 8) & 0xFF) - 255.0,
                         (colour & 0xFF) - 255.0};
    const double cc = c[0] * c[0] + c[1] * c[1] + c[2] * c[2];
    if (cc == 0) return false;
    const double share = (p[0] * c[0] + p[1] * c[1] + p[2] * c[2]) / cc;
    if (share < 0.35) return false;
    double off = 0;
    for (int k = 0; k < 3; ++k) off += (p[k] - share * c[k]) * (p[k] - share * c[k]);
    return off <= 20.0 * 20.0;
}

QPointF InWindow(const StripChart* chart, const QWidget* window, QPointF value) {
    QChart* c = chart->chart();
    const QPointF inView = chart->mapFromScene(c->mapToScene(c->mapToPosition(value)));
    return QPointF(chart->viewport()->mapTo(window, QPoint(0, 0))) + inView;
}

}  // namespace

QRect PlotArea(const StripChart* chart, const QWidget* window) {
    QChart* c = chart->chart();
    const QRect inView = chart->mapFromScene(c->mapToScene(c->plotArea())).boundingRect();
    return inView.translated(chart->viewport()->mapTo(window, QPoint(0, 0)));
}

std::vector<QPoint> TracePixels(const QImage& picture, const QRect& area,
                                const std::vector<int>& colours, int inset) {
    std::vector<QPoint> found;
    const QRect searched = area.adjusted(inset, inset, -inset, -inset) & picture.rect();
    for (int y = searched.top(); y <= searched.bottom(); ++y) {
        for (int x = searched.left(); x <= searched.right(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            for (int colour : colours) {
                if (Near(pixel, colour)) {
                    found.emplace_back(x, y);
                    break;
                }
            }
        }
    }
    return found;
}

double SampleX(const StripChart* chart, const QWidget* window, double sample) {
    return InWindow(chart, window, QPointF(sample, 0)).x();
}

double ValueAtRow(const StripChart* chart, const QWidget* window, int row) {
    const auto [lo, hi] = chart->yRange();
    const double yLo = InWindow(chart, window, QPointF(0, lo)).y();
    const double yHi = InWindow(chart, window, QPointF(0, hi)).y();
    return lo + (row - yLo) / (yHi - yLo) * (hi - lo);
}
