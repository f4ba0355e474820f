// Fast-changing lines over a chart. The overlay covers the chart view's viewport and draws
// a picture of what the chart shows (background, axes, grid, labels, legend) with the lines
// on top, inside the plot area. The picture is taken again only when the chart itself
// changes (a new scale, a resize, a title), so new lines cost the lines alone, not the chart
// with its axes, labels and grid; and the chart view never paints itself, as the overlay
// covers it.
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

    // The lines changed: the plot area is drawn again with the next repaint of the window.
    void linesChanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QRectF plotArea() const;  // the chart's, in the overlay's coordinates
    void follow();
    void takePicture();

    QChartView* view_;
    PaintLines paintLines_;
    QRectF area_;  // the plot area, in the overlay's (the viewport's) coordinates
    QPixmap picture_;
    bool pictureStale_ = true;
};
