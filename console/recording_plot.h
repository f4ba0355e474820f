// The painted plots of a recording window: TOP above BOT on one time axis, each with the
// traces of the live strip chart in its colours, drawn from the min/max of each pixel
// column (or the rows themselves when few are shown), so eight hours draw as fast as a
// minute. The wheel zooms around the pointer, a drag pans; +/- zoom, the arrows pan and
// Home shows all. Under the pointer a cursor names the row's time and all sixteen words.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "scope/recording_columns.h"
#include "scope/recording_reader.h"
#include "scope/recording_view.h"

namespace kervano {

enum RecordingUnit { RECORDING_RAW, RECORDING_NORMALISED };

class RecordingPlot : public QWidget {
    Q_OBJECT

  public:
    RecordingPlot(std::shared_ptr<const Recording> recording, QWidget* parent = nullptr);

    TimeView& view() { return view_; }
    const TimeView& view() const { return view_; }
    void setUnit(RecordingUnit unit);
    RecordingUnit unit() const { return unit_; }
    // The row nearest the time at x (widget pixels), and the read-out naming it.
    std::size_t rowAt(int x) const;
    QString readoutAt(int x) const;
    // The time at x, and the x of a time, on the plots' time axis.
    double timeAt(double x) const;
    double xOf(double timeMs) const;
    // Told the read-out whenever the pointer moves over the plots.
    void setReadoutListener(std::function<void(const QString&)> listener) {
        readoutListener_ = std::move(listener);
    }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    struct Trace {
        int word;
        int colour;  // 0xRRGGBB
        bool dashed;
        const char* name;
    };
    std::vector<Trace> traces(int channel) const;
    QRect plotRect(int channel) const;
    void paintChannel(class QPainter& painter, int channel);
    void paintTimeAxis(QPainter& painter);
    void changed();

    std::shared_ptr<const Recording> recording_;
    TimeView view_;
    RecordingUnit unit_ = RECORDING_RAW;
    std::vector<std::size_t> columnStart_;  // the rows of each pixel column, per paint
    std::vector<long long> ticks_;          // the time axis's ticks, per paint
    long long tickStep_ = 0;
    int tickOffset_ = 0;
    int cursorX_ = -1;
    int dragX_ = -1;
    std::function<void(const QString&)> readoutListener_;
};

}  // namespace kervano
