#include "platform/ui/frame_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace kvui {

namespace {

constexpr double kMostFramesPerSecond = 60.0;

// Holds a window's repaint requests until the next tick of the frame clock. The window's
// repaint manager asks once and waits for its request to be handled, so holding one
// request holds every change made meanwhile.
class FramePacer : public QObject {
  public:
    explicit FramePacer(QWidget* window) : QObject(window), window_(window) {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, &FramePacer::tick);
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_ || event->type() != QEvent::UpdateRequest || releasing_)
            return false;
        if (!timer_.isActive()) timer_.start(untilNextTick());
        return true;
    }

  private:
    // The clock ticks at whole multiples of the frame interval.
    std::chrono::milliseconds untilNextTick() const {
        const double rate = window_->screen() ? window_->screen()->refreshRate() : 0.0;
        const double interval =
            1.0 / std::clamp(rate > 1.0 ? rate : kMostFramesPerSecond, 1.0, kMostFramesPerSecond);
        const double now =
            std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
                .count();
        const double next = std::ceil(now / interval) * interval;
        return std::chrono::milliseconds(static_cast<long>(std::ceil((next - now) * 1000.0)));
    }

    void tick() {
        releasing_ = true;
        QEvent request(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(window_, &request);
        releasing_ = false;
    }

    QWidget* window_;
    QTimer timer_;
    bool releasing_ = false;
};

}  // namespace

void PaceFrames(QWidget* window) {
    static const char* const kPaced = "kvFramesPaced";
    if (window == nullptr || window->property(kPaced).toBool()) return;
    window->setProperty(kPaced, true);
    new FramePacer(window);
}

}  // namespace kvui
