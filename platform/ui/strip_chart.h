// A scrolling strip chart: each trace keeps its latest screen of points, the newest at the
// right edge. Every plot call replaces the series points in one step, so redrawing the whole
// history many times a second stays cheap.
#pragma once

#include <QChartView>
#include <QList>
#include <QPointF>
#include <deque>
#include <vector>

class QLineSeries;
class QValueAxis;

class StripChart : public QChartView {
    Q_OBJECT

  public:
    explicit StripChart(QWidget* parent = nullptr);

    // Appends values to trace 0, 1, ..., 0, 1, ... in turn and redraws.
    void appendInterleaved(const std::vector<double>& values);

    int pointsPerScreen() const { return pointsPerScreen_; }
    void setPointsPerScreen(int points);
    int traceCount() const { return static_cast<int>(traces_.size()); }
    void setTraceCount(int count);
    int scrollMode() const { return scrollMode_; }
    void setScrollMode(int mode) { scrollMode_ = mode; }
    void setTraceColor(int trace, int rgb);
    int traceColor(int trace) const;
    void setCaption(const QString& caption);

    // The values a trace shows, oldest first.
    std::vector<double> traceValues(int trace) const;
    double axisMax() const;

  private:
    struct Trace {
        QLineSeries* series = nullptr;
        std::deque<double> values;
    };

    void redraw();
    void rescaleY();

    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    std::vector<Trace> traces_;
    int pointsPerScreen_ = 0;  // set by the constructor
    int scrollMode_ = 1;
    QList<QPointF> scratch_;
};
