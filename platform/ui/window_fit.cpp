#include "platform/ui/window_fit.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace kvui {

namespace {

constexpr double kLargeScreenShare = 0.9;
const char* const kKeeperName = "kvuiScreenKeeper";

// Keeps one window's frame on its screen; owned by the window.
class ScreenKeeper : public QObject {
  public:
    explicit ScreenKeeper(QWidget* window) : QObject(window), window_(window) {
        setObjectName(QLatin1String(kKeeperName));
        window->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Show:
                fitted_ = false;
                fit();
                break;
            case QEvent::Move:
            case QEvent::Resize:
                if (window_->isVisible()) fit();
                break;
            default:
                break;
        }
        return false;
    }

  private:
    // Once per show, and whenever the frame's size changes: the window system may tell it
    // only after the window appeared.
    void fit() {
        const QMargins frame = FrameMargins(window_);
        if (fitted_ && frame == frame_) return;
        if (window_->isMaximized() || window_->isFullScreen()) return;
        fitted_ = true;
        frame_ = frame;
        const QRect fitted = FitInside(window_->geometry(), frame, AvailableArea(window_));
        if (fitted != window_->geometry()) window_->setGeometry(fitted);
    }

    QWidget* window_;
    bool fitted_ = false;
    QMargins frame_;
};

}  // namespace

QRect FitInside(const QRect& geometry, const QMargins& frame, const QRect& available) {
    const QRect room = available.marginsRemoved(frame);
    if (room.isEmpty()) return geometry;
    const QSize size = geometry.size().boundedTo(room.size());
    // Left and top win over right and bottom: the title bar stays on screen whatever.
    const int x = std::max(room.left(), std::min(geometry.left(), room.right() + 1 - size.width()));
    const int y = std::max(room.top(), std::min(geometry.top(), room.bottom() + 1 - size.height()));
    return QRect(QPoint(x, y), size);
}

QRect FirstStartGeometry(const QSize& designed, const QMargins& frame, const QRect& available) {
    const QRect room = available.marginsRemoved(frame);
    // Each way: a share of a large screen, all of one the designed size would nearly fill.
    const auto extent = [](int designedExtent, int roomExtent) {
        const int share = static_cast<int>(roomExtent * kLargeScreenShare);
        return designedExtent > share ? roomExtent : share;
    };
    QRect geometry(0, 0, extent(designed.width(), room.width()),
                   extent(designed.height(), room.height()));
    geometry.moveCenter(room.center());
    return FitInside(geometry, frame, available);
}

QMargins FrameMargins(const QWidget* window) {
    if (window->isVisible()) {
        const QRect frame = window->frameGeometry();
        const QRect inside = window->geometry();
        return QMargins(inside.left() - frame.left(), inside.top() - frame.top(),
                        frame.right() - inside.right(), frame.bottom() - inside.bottom());
    }
    if (const QWindow* handle = window->windowHandle(); handle && !handle->frameMargins().isNull())
        return handle->frameMargins();
    const int title = window->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return QMargins(0, title, 0, 0);
}

QRect AvailableArea(const QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void KeepOnScreen(QWidget* window) {
    // By name: a class without its own meta-object is found as any QObject.
    if (window->findChild<QObject*>(QLatin1String(kKeeperName), Qt::FindDirectChildrenOnly) ==
        nullptr)
        new ScreenKeeper(window);
}

}  // namespace kvui
