// Fast-changing lines over a chart's plot area. The overlay sits on the chart view's plot
// area and draws a picture of what the chart shows there (background, grid) with the lines
// on top. The picture is taken again only when the chart itself changes (a new scale, a
// resize, a title), so a new sample costs the lines alone, not the chart with its axes,
// labels and grid; and the chart view never repaints under the overlay, which covers it.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>

class QChartView;

class PlotOverlay : public QWidget {
    Q_OBJECT

  public:
    // paintLines draws in the overlay's coordinates; area is the plot area there.
    using PaintLines = std::function<void(QPainter& painter, const QRectF& area)>;

    PlotOverlay(QChartView* view, PaintLines paintLines);

    // The lines changed: they are drawn again with the next repaint of the window.
    void linesChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void follow();
    void takePicture();

    QChartView* view_;
    PaintLines paintLines_;
    QRectF area_;  // the plot area, in the overlay's coordinates
    QPixmap picture_;
    bool pictureStale_ = true;
};
