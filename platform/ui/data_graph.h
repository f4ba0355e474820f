// An x/y graph holding several plots drawn in the order they were added (later ones on
// top), with manual or automatic axes, an optional crosshair cursor, and a legend entry for
// each named plot. The pointer over the plot area shows the values of every named plot at
// the sample under it.
#pragma once

#include <QList>
#include <QPointF>
#include <vector>

#include "platform/ui/compact_chart.h"

class QGraphicsEllipseItem;
class QGraphicsLineItem;
class QLineSeries;
class QValueAxis;

class DataGraph : public CompactChart {
    Q_OBJECT

  public:
    struct PlotLook {
        int color = 0;
        bool dashed = false;
        bool markers = false;
    };

    explicit DataGraph(QWidget* parent = nullptr);

    // Styles are the VAL_* plot, point and line styles; returns the new plot's handle (> 0).
    // A VAL_MUTED_DASH plot goes behind every plot that is not muted.
    int addPlot(const QList<QPointF>& points, int plotStyle, int pointStyle, int lineStyle,
                int color);
    bool deletePlot(int handle);
    // The plot's name in the legend and in the hover text.
    bool setPlotName(int handle, const QString& name);
    void deleteAllPlots();
    int plotCount() const { return static_cast<int>(plots_.size()); }
    QList<QPointF> plotPoints(int index) const;
    PlotLook plotLook(int index) const;

    // axis: VAL_XAXIS or VAL_LEFT_YAXIS.
    bool setAxisManual(int axis, double min, double max);
    bool setAxisAutomatic(int axis);
    bool axisRange(int axis, double* min, double* max) const;
    void setCaption(const QString& caption);
    QString caption() const;

    int cursorCount() const { return cursorCount_; }
    void setCursorCount(int count);
    void setCursorPosition(double x, double y);
    QPointF cursorPosition() const { return cursor_; }
    // True when the cursor is drawn: enabled and inside the plot area.
    bool cursorDrawn() const;
    void setCursorMode(int mode) { cursorMode_ = mode; }
    int cursorMode() const { return cursorMode_; }
    void setCursorColor(int rgb);

    // The read-out for the pointer at pos (viewport coordinates): "sample 64 (unit)", a line
    // "name: value" for each named plot with a point there, in drawing order; empty outside
    // the plot area.
    QString readoutText(QPoint pos) const;

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    struct Plot {
        int handle = 0;
        QLineSeries* series = nullptr;
        bool muted = false;
    };

    // Puts the plots' series on the chart again in plots_' order (the chart draws in the
    // order series were added).
    void restack();

    void rescale();
    void placeCursor();

    bool manualX_ = false;
    bool manualY_ = false;
    std::vector<Plot> plots_;
    int nextHandle_ = 1;

    int cursorCount_ = 0;
    int cursorMode_ = 0;
    QPointF cursor_;
    QGraphicsLineItem* cursorV_ = nullptr;
    QGraphicsLineItem* cursorH_ = nullptr;
    QGraphicsEllipseItem* cursorMark_ = nullptr;
};
