#include "platform/ui/control_events.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>

#include "platform/ui/event_loop.h"
#include "platform/ui/ui_registry.h"

namespace kvui {
namespace {

const char* const kPanelProperty = "kvuiPanel";
const char* const kControlProperty = "kvuiControl";
const char* const kUserChangedProperty = "kvuiUserChanged";

void FirePanelEvent(int panel, int event) {
    PanelRecord* record = FindPanel(panel);
    if (!record || !record->panelCallback) return;
    record->panelCallback(panel, event, record->panelCallbackData, 0, 0);
}

// One filter for every wired widget; the widget's properties say which panel and control
// it is.
class UserActionFilter : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                return onMousePress(watched, static_cast<QMouseEvent*>(event));
            case QEvent::KeyPress:
                return onKeyPress(watched, static_cast<QKeyEvent*>(event));
            case QEvent::Close:
                return onClose(watched, static_cast<QCloseEvent*>(event));
            case QEvent::Wheel:
                return onWheel(watched);
            default:
                return false;
        }
    }

  private:
    static bool ids(QObject* o, int* panel, int* control) {
        const QVariant p = o->property(kPanelProperty);
        const QVariant c = o->property(kControlProperty);
        if (!p.isValid() || !c.isValid()) return false;
        *panel = p.toInt();
        *control = c.toInt();
        return true;
    }

    // A left press on a command button is reported as it goes down, before the click. The
    // space key also makes the button emit pressed(), so the mouse press is caught here.
    static bool onMousePress(QObject* watched, QMouseEvent* event) {
        auto* button = qobject_cast<QPushButton*>(watched);
        int panel = 0, control = 0;
        if (!button || !button->isEnabled() || event->button() != Qt::LeftButton ||
            !ids(watched, &panel, &control)) {
            return false;
        }
        QPointer<QPushButton> guard(button);
        FireCtrlEvent(panel, control, EVENT_LEFT_CLICK);
        // The callback may have discarded the panel; then the press must go no further.
        return guard.isNull();
    }

    // A wheel turned while the pointer merely passes over a selector or a parameter field
    // scrolls nothing: a port or a value changes on the wheel only once the control has
    // the focus (a port change runs the whole port set-up).
    static bool onWheel(QObject* watched) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || w->hasFocus()) return false;
        return qobject_cast<QComboBox*>(w) != nullptr ||
               qobject_cast<QAbstractSpinBox*>(w) != nullptr;
    }

    // Enter and Return commit a focused command button as the space key does.
    static bool onKeyPress(QObject* watched, QKeyEvent* event) {
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || !button->isEnabled() || button->autoDefault() || button->isDefault())
            return false;
        if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
        button->click();
        return true;
    }

    // The window stays open; the program decides in its panel callback (normally by
    // quitting). Once the program has quit, windows close normally.
    static bool onClose(QObject* watched, QCloseEvent* event) {
        const QVariant p = watched->property(kPanelProperty);
        if (!p.isValid() || watched->property(kControlProperty).isValid()) return false;
        if (QuitRequested()) return false;
        PanelRecord* record = FindPanel(p.toInt());
        if (!record || !record->panelCallback) return false;
        event->ignore();
        FirePanelEvent(p.toInt(), EVENT_CLOSE);
        return true;
    }
};

int callbackDepth = 0;

UserActionFilter* Filter() {
    static UserActionFilter* filter = new UserActionFilter();
    return filter;
}

void FireChangeThenCommit(int panel, int control) {
    FireCtrlEvent(panel, control, EVENT_VAL_CHANGED);
    FireCtrlEvent(panel, control, EVENT_COMMIT);
}

}  // namespace

void FireCtrlEvent(int panel, int control, int event) {
    PanelRecord* record = FindPanel(panel);
    if (!record) return;
    auto it = record->ctrlCallbacks.find(control);
    if (it == record->ctrlCallbacks.end() || !it->second.fn) return;
    const CtrlCallbackSlot slot = it->second;
    ++callbackDepth;
    slot.fn(panel, control, event, slot.data, 0, 0);
    --callbackDepth;
}

int CtrlCallbackDepth() {
    return callbackDepth;
}

void WireControl(int panel, int control, QWidget* w) {
    w->setProperty(kPanelProperty, panel);
    w->setProperty(kControlProperty, control);

    if (auto* button = qobject_cast<QPushButton*>(w)) {
        button->installEventFilter(Filter());
        QObject::connect(button, &QPushButton::clicked, button,
                         [panel, control] { FireCtrlEvent(panel, control, EVENT_COMMIT); });
    } else if (auto* check = qobject_cast<QAbstractButton*>(w); check && check->isCheckable()) {
        // clicked() comes from the user only; setChecked() stays silent.
        QObject::connect(check, &QAbstractButton::clicked, check,
                         [panel, control] { FireChangeThenCommit(panel, control); });
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->setFocusPolicy(Qt::StrongFocus);  // the wheel alone gives no focus
        combo->installEventFilter(Filter());
        // activated() also comes when the user re-chooses the current item; whether the
        // choice changed the value is known from the index change just before it.
        combo->setProperty(kUserChangedProperty, false);
        QObject::connect(combo, &QComboBox::currentIndexChanged, combo,
                         [combo] { combo->setProperty(kUserChangedProperty, !InProgramChange()); });
        QObject::connect(combo, &QComboBox::activated, combo, [combo, panel, control] {
            const bool changed = combo->property(kUserChangedProperty).toBool();
            combo->setProperty(kUserChangedProperty, false);
            if (changed) FireCtrlEvent(panel, control, EVENT_VAL_CHANGED);
            FireCtrlEvent(panel, control, EVENT_COMMIT);
        });
    } else if (auto* spin = qobject_cast<QSpinBox*>(w)) {
        spin->setFocusPolicy(Qt::StrongFocus);
        spin->installEventFilter(Filter());
        QObject::connect(spin, &QSpinBox::valueChanged, spin, [panel, control] {
            if (!InProgramChange()) FireChangeThenCommit(panel, control);
        });
    }
}

void WirePanel(int panel, QWidget* w) {
    w->setProperty(kPanelProperty, panel);
    w->installEventFilter(Filter());
}

}  // namespace kvui
