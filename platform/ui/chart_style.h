// Look shared by the strip charts and the data graphs: a plain, compact chart that redraws
// cheaply, and the axis scaling that picks round limits.
#pragma once

class QChart;
class QChartView;
class QLegend;
class QString;
class QValueAxis;

namespace kvui {

void StyleCompactChart(QChart* chart);
// Gives view a compact chart with integer-labelled value axes from 0 to 100, x at the
// bottom and y on the left; returns the axes through x and y.
void SetUpCompactChart(QChartView* view, QValueAxis*& x, QValueAxis*& y);
// A one-line legend above the plot in a small font, hidden until asked for, each entry
// drawn as a short piece of its series' line.
void StyleCompactLegend(QLegend* legend);
// An axis title in the small font of the legend.
void SetCompactAxisTitle(QValueAxis* axis, const QString& title);
// The smallest "round" number (1, 1.2, 1.5, 2, 2.5, 3, 4, 5, 6, 8 times a power of ten)
// not below value; value must be > 0.
double RoundUp(double value);

}  // namespace kvui
