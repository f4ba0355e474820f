// Look shared by the strip charts and the data graphs: a plain, compact chart that redraws
// cheaply, and the axis scaling that picks round limits.
#pragma once

class QChart;
class QChartView;
class QValueAxis;

namespace kvui {

void StyleCompactChart(QChart* chart);
// Gives view a compact chart with integer-labelled value axes, x at the bottom and y on
// the left; returns the axes through x and y.
void SetUpCompactChart(QChartView* view, QValueAxis*& x, QValueAxis*& y);
// The smallest "round" number (1, 1.2, 1.5, 2, 2.5, 3, 4, 5, 6, 8 times a power of ten)
// not below value; value must be > 0.
double RoundUp(double value);

}  // namespace kvui
