// A scrolling strip chart: each trace keeps its latest screen of points, the newest at the
// right edge. The chart draws its axes, grid, titles and legend; the traces are drawn by an
// overlay on the plot area, so a new screen of points costs the lines alone and is painted
// with the window's next frame, however often the program plots.
//
// The operator can freeze the display (Pause, for all strip charts of the panel: values go
// on arriving and Resume shows the latest at once) and lock the y scale, or share one scale
// between the panel's strip charts, from the chart's context menu.
#pragma once

#include <QList>
#include <QPointF>
#include <QPointer>
#include <deque>
#include <utility>
#include <vector>

#include "platform/ui/compact_chart.h"

class QActionGroup;
class QAction;
class QLineSeries;
class QMenu;
class QToolButton;
class PlotOverlay;
class StripChartGroup;

class StripChart : public CompactChart {
    Q_OBJECT

  public:
    explicit StripChart(QWidget* parent = nullptr);

    // Appends values to trace 0, 1, ..., 0, 1, ... in turn and redraws.
    void appendInterleaved(const std::vector<double>& values);
    // Forgets every trace's points and redraws.
    void clear();

    int pointsPerScreen() const { return pointsPerScreen_; }
    void setPointsPerScreen(int points);
    int traceCount() const { return static_cast<int>(traces_.size()); }
    void setTraceCount(int count);
    int scrollMode() const { return scrollMode_; }
    void setScrollMode(int mode) { scrollMode_ = mode; }
    void setTraceColor(int trace, int rgb);
    int traceColor(int trace) const;
    void setTraceName(int trace, const QString& name);
    void setCaption(const QString& caption);
    // While paused, titles are kept with the picture they describe.
    bool setAxisTitle(int axis, const QString& title) override;

    // The values a trace shows, oldest first.
    std::vector<double> traceValues(int trace) const;
    double axisMax() const;
    std::pair<double, double> yRange() const;

    bool paused() const;
    bool scaleLocked() const { return locked_; }
    // Locks the y scale at its current range, or returns it to following the data.
    void setScaleLocked(bool locked);
    StripChartGroup* group();
    // The context menu: scale and pause commands.
    QMenu* menu();

    // For the group: the range of what is drawn (false when nothing is), fitting the
    // scale to a range, showing a lock, freezing or resuming.
    bool drawnRange(double* lo, double* hi) const;
    void fitScale(bool any, double lo, double hi);
    void showLocked(bool locked, double lo, double hi);
    void showPaused(bool paused);

  protected:
    QList<QPointF> shownPoints(const QXYSeries* series) const override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    friend class StripChartGroup;  // sets group_ for every chart of the panel

    struct Trace {
        QLineSeries* series = nullptr;  // holds no points: its name and pen, for the legend
        std::deque<double> values;
        QList<QPointF> shown;  // what the chart shows: (sample number, value)
        int color = 0;         // 0xRRGGBB, shown once the display is live
    };

    void redraw();
    void paintTraces(QPainter& painter, const QRectF& area) const;
    void rescale();
    void applyLook();
    void placePauseButton();

    std::vector<Trace> traces_;
    int pointsPerScreen_ = 0;  // set by the constructor
    int scrollMode_ = 1;
    PlotOverlay* overlay_ = nullptr;
    double drawnLo_ = 0.0;
    double drawnHi_ = 0.0;
    bool drawnAny_ = false;
    bool locked_ = false;
    QString yTitle_;
    QString xTitle_;

    QPointer<StripChartGroup> group_;
    QMenu* menu_ = nullptr;
    QAction* autoScale_ = nullptr;
    QAction* lockScale_ = nullptr;
    QToolButton* pauseButton_ = nullptr;
};
