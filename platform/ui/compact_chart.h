// What the strip charts and the data graphs share: a compact chart with integer value axes,
// axis titles, a legend naming each series in its own colour and line style, and a tooltip
// that names the sample and value of the point under the pointer.
#pragma once

#include <QChartView>
#include <QList>
#include <QPointF>
#include <QString>
#include <vector>

class QValueAxis;
class QXYSeries;

class CompactChart : public QChartView {
    Q_OBJECT

  public:
    struct LegendEntry {
        QString text;
        int color = 0;  // 0xRRGGBB
        Qt::PenStyle style = Qt::SolidLine;
    };

    explicit CompactChart(QWidget* parent = nullptr);

    // axis: VAL_XAXIS or VAL_LEFT_YAXIS. Setting the title it already has costs nothing.
    virtual bool setAxisTitle(int axis, const QString& title);
    QString axisTitle(int axis) const;
    void setLegendVisible(bool visible);
    bool legendVisible() const;
    // What the legend shows, in drawing order; a series without a name has no entry.
    std::vector<LegendEntry> legendEntries() const;
    // The tooltip for the pointer at pos (viewport coordinates): the nearest drawn point's
    // series, sample number and value with the y axis's unit; empty when no point is near.
    QString hoverText(QPoint pos) const;

  protected:
    QValueAxis* axis(int which) const;
    // The points a series shows, in its axes' values: its own, unless the chart draws them.
    virtual QList<QPointF> shownPoints(const QXYSeries* series) const;
    // Adds a series on both axes, styled by pen after the chart theme had its say.
    void addSeries(QXYSeries* series, const QPen& pen);
    void setSeriesName(QXYSeries* series, const QString& name);
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;

  private:
    void syncLegend();
};
