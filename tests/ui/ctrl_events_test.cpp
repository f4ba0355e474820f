// User actions reach the callbacks as the program's event codes; program calls never do.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "tests/ui/ui_test_support.h"

namespace {

using Codes = std::vector<int>;

// Opens the selector's list and clicks an item, as a user does.
void ChooseItem(QComboBox* combo, int index) {
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    const QPoint at = view->visualRect(view->model()->index(index, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTRY_VERIFY(!view->isVisible());
}

}  // namespace

using ControlEvents = PanelTest;

// A click or a key, as the user gives it: the keyboard commits a button without a left click.
TEST_F(ControlEvents, EachUserActionGivesItsEventCodes) {
    const Codes kChanged = {EVENT_VAL_CHANGED, EVENT_COMMIT};
    const struct {
        const char* name;
        int control;
        Qt::MouseButton button;  // clicked, unless NoButton
        int key;                 // pressed with the focus on the control, unless 0
        Codes codes;
        int value = -1;  // the control's value afterwards, for all but buttons
    } cases[] = {
        {"left click", PANEL_BTNRUN, Qt::LeftButton, 0, {EVENT_LEFT_CLICK, EVENT_COMMIT}},
        {"right click", PANEL_BTNGET, Qt::RightButton, 0, {}},
        {"space", PANEL_BTNSEND, Qt::NoButton, Qt::Key_Space, {EVENT_COMMIT}},
        {"return", PANEL_BTNSEND, Qt::NoButton, Qt::Key_Return, {EVENT_COMMIT}},
        {"enter", PANEL_BTNSEND, Qt::NoButton, Qt::Key_Enter, {EVENT_COMMIT}},
        {"selector down", PANEL_VIEWMODE, Qt::NoButton, Qt::Key_Down, kChanged, 1},
        {"parameter up", PANEL_TRIGTOP, Qt::NoButton, Qt::Key_Up, kChanged, 951},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        events_.clear();
        record(c.control);
        QWidget* w = ctrl<QWidget>(c.control);
        if (c.button != Qt::NoButton) QTest::mouseClick(w, c.button);
        if (c.key != 0) w->setFocus(), QTest::keyClick(w, Qt::Key(c.key));
        EXPECT_EQ(eventsOf(c.control), c.codes);
        for (const RecordedEvent& e : events_) EXPECT_EQ(e.panel, panel_);
        int value = -1;
        if (c.value >= 0) GetCtrlVal(panel_, c.control, &value);
        EXPECT_EQ(value, c.value);
    }
}

TEST_F(ControlEvents, LeftClickArrivesWhileTheButtonIsStillDown) {
    record(PANEL_BTNDATA);
    auto* button = ctrl<QPushButton>(PANEL_BTNDATA);
    QTest::mousePress(button, Qt::LeftButton);
    EXPECT_EQ(eventsOf(PANEL_BTNDATA), (Codes{EVENT_LEFT_CLICK}));
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_EQ(eventsOf(PANEL_BTNDATA), (Codes{EVENT_LEFT_CLICK, EVENT_COMMIT}));
}

TEST_F(ControlEvents, DimmedButtonsStaySilent) {
    record(PANEL_BTNGET);
    auto* button = ctrl<QPushButton>(PANEL_BTNGET);
    SetCtrlAttribute(panel_, PANEL_DATALOCK, ATTR_DIMMED, 1);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_TRUE(eventsOf(PANEL_BTNGET).empty());
}

TEST_F(ControlEvents, CallbacksGetTheirData) {
    int seen = 0;
    auto callback = [](int, int control, int event, void* data, int, int) {
        if (event == EVENT_COMMIT) *static_cast<int*>(data) = control;
        return 0;
    };
    ASSERT_EQ(InstallCtrlCallback(panel_, PANEL_BUTTONTEACH, callback, &seen), 0);
    QTest::mouseClick(ctrl<QPushButton>(PANEL_BUTTONTEACH), Qt::LeftButton);
    EXPECT_EQ(seen, PANEL_BUTTONTEACH);
}

TEST_F(ControlEvents, ACallbackMayDiscardThePanelOnLeftClick) {
    auto discard = [](int panel, int, int event, void*, int, int) {
        if (event == EVENT_LEFT_CLICK) DiscardPanel(panel);
        return 0;
    };
    InstallCtrlCallback(panel_, PANEL_BUTTONRESET, discard, nullptr);
    QPointer<QWidget> widget = PanelWidget(panel_);
    QTest::mouseClick(ctrl<QPushButton>(PANEL_BUTTONRESET), Qt::LeftButton);
    FlushDeletions();
    EXPECT_TRUE(widget.isNull());
    EXPECT_EQ(PanelWidget(panel_), nullptr);
    panel_ = -1;
}

TEST_F(ControlEvents, RadioClickGivesValueChangedThenCommitEachWay) {
    record(PANEL_RBTEEPROM);
    auto* radio = ctrl<QRadioButton>(PANEL_RBTEEPROM);
    QTest::mouseClick(radio, Qt::LeftButton);
    EXPECT_EQ(eventsOf(PANEL_RBTEEPROM), (Codes{EVENT_VAL_CHANGED, EVENT_COMMIT}));
    int on = 0;
    GetCtrlVal(panel_, PANEL_RBTEEPROM, &on);
    EXPECT_EQ(on, 1);
    // Not auto-exclusive: a second click switches it off again.
    QTest::mouseClick(radio, Qt::LeftButton);
    GetCtrlVal(panel_, PANEL_RBTEEPROM, &on);
    EXPECT_EQ(on, 0);
    EXPECT_EQ(eventsOf(PANEL_RBTEEPROM).size(), 4u);
}

TEST_F(ControlEvents, SelectorReportsAChangeOnlyWhenTheValueChanged) {
    record(PANEL_VIEWMODE);
    auto* combo = ctrl<QComboBox>(PANEL_VIEWMODE);
    ChooseItem(combo, 2);
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(eventsOf(PANEL_VIEWMODE), (Codes{EVENT_VAL_CHANGED, EVENT_COMMIT}));

    events_.clear();
    ChooseItem(combo, 2);
    EXPECT_EQ(eventsOf(PANEL_VIEWMODE), (Codes{EVENT_COMMIT}));

    // A program change in between does not count as the user's.
    events_.clear();
    SetCtrlVal(panel_, PANEL_VIEWMODE, 0);
    ChooseItem(combo, 0);
    EXPECT_EQ(eventsOf(PANEL_VIEWMODE), (Codes{EVENT_COMMIT}));
}

TEST_F(ControlEvents, TheWheelChangesASelectorOrFieldOnlyOnceItHasTheFocus) {
    auto* selector = ctrl<QComboBox>(PANEL_VIEWMODE);
    auto* field = ctrl<QSpinBox>(PANEL_TRIGTOP);
    record(PANEL_VIEWMODE);
    record(PANEL_TRIGTOP);
    auto turn = [](QWidget* w) {
        QWheelEvent wheel(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &wheel);
    };
    ctrl<QWidget>(PANEL_BTNRUN)->setFocus();  // the pointer merely passes over them
    turn(selector);
    turn(field);
    EXPECT_EQ(selector->currentIndex(), 0);
    EXPECT_EQ(field->value(), 950);
    EXPECT_TRUE(events_.empty());
    EXPECT_FALSE(selector->hasFocus()) << "the wheel gives no focus";

    field->setFocus();
    turn(field);
    EXPECT_NE(field->value(), 950);
}

TEST_F(ControlEvents, ProgramChangesFireNoCallbacks) {
    for (int id : {PANEL_REFTOP, PANEL_RBTRAM, PANEL_RBTFILE, PANEL_VIEWMODE, PANEL_DROPDCOM,
                   PANEL_STATUS, PANEL_LED1, PANEL_TOP1})
        record(id);
    SetCtrlVal(panel_, PANEL_REFTOP, 123);
    SetCtrlVal(panel_, PANEL_RBTRAM, 0);
    SetCtrlVal(panel_, PANEL_RBTFILE, 1);
    SetCtrlVal(panel_, PANEL_VIEWMODE, 2);
    ClearListCtrl(panel_, PANEL_DROPDCOM);
    InsertListItem(panel_, PANEL_DROPDCOM, -1, "COM1", 1);
    InsertListItem(panel_, PANEL_DROPDCOM, -1, "COM2", 2);
    SetCtrlVal(panel_, PANEL_DROPDCOM, 2);
    SetCtrlVal(panel_, PANEL_STATUS, "text");
    SetCtrlVal(panel_, PANEL_LED1, 1);
    SetCtrlVal(panel_, PANEL_TOP1, 9);
    SetCtrlAttribute(panel_, PANEL_REFTOP, ATTR_DIMMED, 1);
    EXPECT_TRUE(events_.empty());
}

TEST_F(ControlEvents, RemovedCallbackIsNoLongerCalled) {
    record(PANEL_BTNSTOP);
    ASSERT_EQ(InstallCtrlCallback(panel_, PANEL_BTNSTOP, nullptr, nullptr), 0);
    QTest::mouseClick(ctrl<QPushButton>(PANEL_BTNSTOP), Qt::LeftButton);
    EXPECT_TRUE(events_.empty());
}

namespace {

struct PanelEvents {
    std::vector<int> events;
    int panel = 0;
};

int RecordPanelEvent(int panel, int event, void* data, int, int) {
    auto* seen = static_cast<PanelEvents*>(data);
    seen->events.push_back(event);
    seen->panel = panel;
    return 0;
}

}  // namespace

TEST_F(ControlEvents, ClosingTheWindowAsksThePanelCallbackAndKeepsItOpen) {
    PanelEvents seen;
    ASSERT_EQ(InstallPanelCallback(panel_, RecordPanelEvent, &seen), 0);
    QWidget* window = PanelWidget(panel_);
    bool closed = true;
    // Closed while the program runs, before anything asked to quit.
    QTimer::singleShot(0, [&] {
        closed = window->close();
        QuitUserInterface(0);
    });
    RunUserInterface();
    EXPECT_FALSE(closed);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(seen.events, (std::vector<int>{EVENT_CLOSE}));
    EXPECT_EQ(seen.panel, panel_);
}
