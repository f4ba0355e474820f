#include "console/menus.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "console/help_dialogs.h"
#include "console/startup.h"
#include "params/transfer_commands.h"
#include "platform/ui/control_events.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"

namespace kervano {

namespace {

constexpr int kMenuCount = 4;

struct MenuBarState {
    QPointer<QWidget> panel;
    QPointer<QMenu> menus[kMenuCount];
    QPointer<QAction> beforeQuit;  // File's commands added later go above this separator
};

MenuBarState& TheMenuBar() {
    static MenuBarState state;
    return state;
}

// Keeps an action's enabled state in step with a widget's effective one: dimming a frame
// sends EnabledChange to every control in it.
class EnabledFollower : public QObject {
  public:
    EnabledFollower(QAction* action, QWidget* widget) : QObject(action), action_(action) {
        action->setEnabled(widget->isEnabled());
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange && action_)
            action_->setEnabled(static_cast<QWidget*>(watched)->isEnabled());
        return false;
    }

  private:
    QPointer<QAction> action_;
};

// A menu closed with Escape hands the keyboard back to the bar, which keeps its title lit and
// takes the next Escape for itself: the operator's Escape would only dim the title, and Stop
// would need a second press. Escape is Stop, so the bar lets go of the keyboard and the
// shortcut runs at the first press. While a menu is open, Escape closes it as usual.
class EscapeReachesStop : public QObject {
  public:
    explicit EscapeReachesStop(QMenuBar* bar) : QObject(bar) { bar->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (leaving_ || event->type() != QEvent::ShortcutOverride) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        auto* bar = static_cast<QMenuBar*>(watched);
        if (!key->matches(QKeySequence::Cancel) || QApplication::activePopupWidget() ||
            bar->activeAction() == nullptr)
            return false;
        // The bar's own Escape: it leaves the keyboard and gives the focus back. (Sending a
        // key press asks for its shortcut override again, which the bar is to have.)
        leaving_ = true;
        QKeyEvent leave(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &leave);
        leaving_ = false;
        event->ignore();  // not overridden: the shortcut map runs Stop
        return true;
    }

  private:
    bool leaving_ = false;
};

QAction* AddCommand(QMenu* menu, const char* name, const char* text,
                    const QList<QKeySequence>& keys, std::function<void()> run) {
    QAction* action = menu->addAction(QString::fromLatin1(text));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    QObject::connect(action, &QAction::triggered, action, std::move(run));
    // Also on the window itself, so the shortcut does not depend on the menu bar.
    TheMenuBar().panel->addAction(action);
    return action;
}

void FollowControl(QAction* action, int control) {
    if (QWidget* w = CtrlWidget(panelHandle, control)) new EnabledFollower(action, w);
}

void BuildFileMenu(QMenu* menu) {
    FollowControl(AddCommand(menu, "actionOpenParameters", "&Open parameters...",
                             {QKeySequence(QStringLiteral("Ctrl+O"))}, [] { LoadParameterFile(); }),
                  PANEL_BTNGET);
    FollowControl(AddCommand(menu, "actionSaveParameters", "&Save parameters...",
                             {QKeySequence(QStringLiteral("Ctrl+S"))}, [] { SaveParameterFile(); }),
                  PANEL_BTNSEND);
    TheMenuBar().beforeQuit = menu->addSeparator();
    const int panel = panelHandle;
    // Exactly what closing the window does: the panel's callback decides.
    AddCommand(menu, "actionQuit", "&Quit", {QKeySequence(QStringLiteral("Ctrl+Q"))}, [panel] {
        if (QWidget* w = PanelWidget(panel)) w->close();
    });
}

void BuildControllerMenu(QMenu* menu) {
    struct Command {
        const char* name;
        const char* text;
        int control;
        QList<QKeySequence> keys;
        bool separatorBefore;
    };
    const Command commands[] = {
        {"actionRun", "&Run", PANEL_BTNRUN, {QKeySequence(Qt::Key_F5)}, false},
        {"actionStop",
         "&Stop",
         PANEL_BTNSTOP,
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::SHIFT | Qt::Key_F5)},
         false},
        {"actionData", "&Data", PANEL_BTNDATA, {QKeySequence(Qt::Key_F6)}, false},
        {"actionSend", "Se&nd", PANEL_BTNSEND, {}, true},
        {"actionGet", "&Get", PANEL_BTNGET, {}, false},
        {"actionTeach", "&Teach", PANEL_BUTTONTEACH, {}, true},
        {"actionReset", "R&eset", PANEL_BUTTONRESET, {}, false},
    };
    const int panel = panelHandle;
    for (const Command& c : commands) {
        if (c.separatorBefore) menu->addSeparator();
        const int control = c.control;
        QAction* action = AddCommand(menu, c.name, c.text, c.keys, [panel, control] {
            kvui::FireCtrlEvent(panel, control, EVENT_COMMIT);
        });
        FollowControl(action, control);
    }
}

// The display modes as radio items, in step with the panel's selector both ways.
void BuildViewMenu(QMenu* menu) {
    const char* const modes[] = {"&Raw values", "&Normalised", "Normalised + &short packet"};
    auto* selector = qobject_cast<QComboBox*>(CtrlWidget(panelHandle, PANEL_VIEWMODE));
    auto* group = new QActionGroup(menu);
    for (int i = 0; i < 3; ++i) {
        const QString name = QStringLiteral("actionViewMode%1").arg(i);
        QAction* action =
            AddCommand(menu, name.toLatin1().constData(), modes[i],
                       {QKeySequence(QStringLiteral("Ctrl+%1").arg(i + 1))},
                       [handle = panelHandle, i] { SetCtrlVal(handle, PANEL_VIEWMODE, i); });
        action->setCheckable(true);
        action->setChecked(selector && selector->currentIndex() == i);
        group->addAction(action);
    }
    if (selector) {
        QObject::connect(selector, &QComboBox::currentIndexChanged, group, [group](int index) {
            const QList<QAction*> actions = group->actions();
            if (index >= 0 && index < actions.size()) actions[index]->setChecked(true);
        });
    }
    menu->addSeparator();
    QWidget* panel = TheMenuBar().panel;
    auto* history = panel->findChild<QAbstractButton*>(QStringLiteral("statusHistoryButton"));
    QAction* action =
        AddCommand(menu, "actionStatusHistory", "Status &history...",
                   {QKeySequence(QStringLiteral("Ctrl+H"))}, [history = QPointer(history)] {
                       if (history) history->click();
                   });
    if (history) {
        new EnabledFollower(action, history);
    } else {
        action->setEnabled(false);
    }
}

void BuildHelpMenu(QMenu* menu) {
    AddCommand(menu, "actionKeyboardShortcuts", "&Keyboard shortcuts", {QKeySequence(Qt::Key_F1)},
               [] { ShowKeyboardShortcuts(); });
    AddCommand(menu, "actionAbout", "&About kervano-scope", {}, [] { ShowAboutBox(); });
}

}  // namespace

void InstallPanelMenus() {
    QWidget* panel = PanelWidget(panelHandle);
    if (panel == nullptr) return;
    MenuBarState& state = TheMenuBar();
    state = MenuBarState{};
    state.panel = panel;
    auto* bar = new QMenuBar(panel);
    bar->setObjectName(QStringLiteral("panelMenuBar"));
    new EscapeReachesStop(bar);
    const char* const titles[kMenuCount] = {"&File", "&Controller", "&View", "&Help"};
    for (int i = 0; i < kMenuCount; ++i)
        state.menus[i] = bar->addMenu(QString::fromLatin1(titles[i]));
    if (panel->layout()) panel->layout()->setMenuBar(bar);

    BuildFileMenu(state.menus[MENU_FILE]);
    BuildControllerMenu(state.menus[MENU_CONTROLLER]);
    BuildViewMenu(state.menus[MENU_VIEW]);
    BuildHelpMenu(state.menus[MENU_HELP]);
}

QMenu* PanelMenu(PanelMenuId menu) {
    if (static_cast<int>(menu) < 0 || static_cast<int>(menu) >= kMenuCount || !TheMenuBar().panel)
        return nullptr;
    return TheMenuBar().menus[menu];
}

void AddPanelMenuAction(PanelMenuId menu, QAction* action) {
    QMenu* target = PanelMenu(menu);
    if (target == nullptr || action == nullptr) return;
    if (menu == MENU_FILE && TheMenuBar().beforeQuit) {
        target->insertAction(TheMenuBar().beforeQuit, action);
    } else {
        target->addAction(action);
    }
    TheMenuBar().panel->addAction(action);
}

}  // namespace kervano
