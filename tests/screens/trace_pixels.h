// Reading a strip chart off a picture of the window: which pixels of its plot area are drawn
// in a trace's colour, and which value or sample a pixel stands for.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <vector>

class QWidget;
class StripChart;

// The chart's plot area in the coordinates of window (and of its picture).
QRect PlotArea(const StripChart* chart, const QWidget* window);
// The pixels of the plot area, shrunk by inset, drawn in one of colours (0xRRGGBB) on the
// chart's white: the lines are antialiased, so their pixels are blends with it.
std::vector<QPoint> TracePixels(const QImage& picture, const QRect& area,
                                const std::vector<int>& colours, int inset = 0);
// Where sample x of the chart is drawn across, in window coordinates.
double SampleX(const StripChart* chart, const QWidget* window, double sample);
// The value the chart's y axis gives a pixel row of window.
double ValueAtRow(const StripChart* chart, const QWidget* window, int row);
