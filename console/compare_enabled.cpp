#include "console/compare_enabled.h"

#include <QAction>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "console/startup.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"

namespace kervano {

namespace {

// Dimming a frame sends EnabledChange to every control in it, the Get button included.
class GetButtonFollower : public QObject {
  public:
    GetButtonFollower(QObject* owner, QWidget* get, std::function<void(bool)> apply)
        : QObject(owner), get_(get), apply_(std::move(apply)) {
        apply_(get->isEnabled());
        get->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange && watched == get_) apply_(get_->isEnabled());
        return false;
    }

  private:
    QPointer<QWidget> get_;
    std::function<void(bool)> apply_;
};

void Follow(QObject* owner, std::function<void(bool)> apply) {
    if (QWidget* get = CtrlWidget(panelHandle, PANEL_BTNGET))
        new GetButtonFollower(owner, get, std::move(apply));
}

}  // namespace

void FollowGetButton(QAction* action) {
    Follow(action, [action = QPointer(action)](bool on) {
        if (action) action->setEnabled(on);
    });
}

void FollowGetButton(QWidget* widget) {
    Follow(widget, [widget = QPointer(widget)](bool on) {
        if (widget) widget->setEnabled(on);
    });
}

}  // namespace kervano
