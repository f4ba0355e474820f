// The strip charts of one panel act as one display: Pause freezes all of them, and they can
// share one y range. The panel-wide commands are checkable actions, so the charts' menus,
// their Pause buttons and any menu of the console stay in step.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QWidget;
class StripChart;

class StripChartGroup : public QObject {
    Q_OBJECT

  public:
    // The group of the panel (window) that holds widget, made on first use.
    static StripChartGroup* of(QWidget* widget);

    QAction* pauseAction() const { return pause_; }
    QAction* shareScaleAction() const { return shareScale_; }
    bool paused() const;
    bool sharesScale() const;
    QList<StripChart*> charts() const;

    // Fits the y scale of chart, or of every chart when they share one, to what is drawn.
    void rescale(StripChart* chart);
    // Locks chart's scale at its current range or frees it; when the charts share a scale
    // they are all locked at that range, or all freed.
    void setLocked(StripChart* chart, bool locked);

  private:
    explicit StripChartGroup(QWidget* panel);
    void adopt(StripChart* chart);
    void pauseChanged(bool paused);
    void shareChanged(bool shared);

    QAction* pause_ = nullptr;
    QAction* shareScale_ = nullptr;
    // Found once: a panel's charts come with its resource, and the shared scale is fitted
    // on every redraw.
    QList<QPointer<StripChart>> charts_;
};
