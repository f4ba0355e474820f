// The panel from the keyboard: Tab follows the layout, and every command button has a
// mnemonic of its own.
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QTest>
#include <map>
#include <set>

#include "tests/ui/ui_test_support.h"

namespace {

const int kCommandButtons[] = {PANEL_BTNRUN, PANEL_BTNSTOP,     PANEL_BTNDATA,    PANEL_BTNSEND,
                               PANEL_BTNGET, PANEL_BUTTONTEACH, PANEL_BUTTONRESET};

// The control a focused widget belongs to (a spin box for its inner line edit).
QWidget* OwnerOf(QWidget* w) {
    while (w && w->objectName().startsWith(QLatin1String("qt_"))) w = w->parentWidget();
    return w;
}

QRect RectIn(const QWidget* w, const QWidget* panel) {
    return {w->mapTo(panel, QPoint(0, 0)), w->size()};
}

// b comes after a when read top to bottom, left to right: further right on the same row,
// or on a lower row.
bool ComesAfter(const QRect& a, const QRect& b) {
    const bool sameRow = a.top() <= b.bottom() && b.top() <= a.bottom();
    return sameRow ? b.left() > a.left() : b.top() > a.top();
}

QString Mnemonic(const QWidget* w) {
    QString text;
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        text = button->text();
    else if (auto* label = qobject_cast<const QLabel*>(w))
        text = label->text();
    else if (auto* group = qobject_cast<const QGroupBox*>(w))
        text = group->title();
    return QKeySequence::mnemonic(text).toString();
}

}  // namespace

using PanelKeyboard = PanelTest;

TEST_F(PanelKeyboard, TabVisitsTheControlsTopToBottomLeftToRight) {
    QWidget* panel = PanelWidget(panel_);
    panel->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));

    int tabStops = 0;
    for (QWidget* w : panel->findChildren<QWidget*>()) {
        QWidget* target = w;  // focus goes on to the proxy (a chart's viewport to the chart)
        while (target->focusProxy()) target = target->focusProxy();
        if (w->isVisible() && w->isEnabled() && (target->focusPolicy() & Qt::TabFocus) &&
            OwnerOf(w) == w)
            ++tabStops;
    }
    ASSERT_GE(tabStops, 30);

    std::vector<QWidget*> visited;
    CtrlWidget(panel_, PANEL_VIEWMODE)->setFocus(Qt::TabFocusReason);
    for (int i = 0; i <= tabStops; ++i) {
        visited.push_back(OwnerOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // One round visits every tab stop once and comes back to the start.
    EXPECT_EQ(visited.back(), visited.front());
    visited.pop_back();
    EXPECT_EQ(std::set<QWidget*>(visited.begin(), visited.end()).size(), size_t(tabStops));
    for (size_t i = 1; i < visited.size(); ++i) {
        EXPECT_TRUE(ComesAfter(RectIn(visited[i - 1], panel), RectIn(visited[i], panel)))
            << visited[i - 1]->objectName().toStdString() << " -> "
            << visited[i]->objectName().toStdString();
    }
}

TEST_F(PanelKeyboard, EveryCommandButtonHasAMnemonicOfItsOwn) {
    // The menu bar the program adds takes Alt+F, C, V and H.
    std::map<QString, QString> taken = {
        {QStringLiteral("Alt+F"), QStringLiteral("File menu")},
        {QStringLiteral("Alt+C"), QStringLiteral("Controller menu")},
        {QStringLiteral("Alt+V"), QStringLiteral("View menu")},
        {QStringLiteral("Alt+H"), QStringLiteral("Help menu")}};
    for (QWidget* w : PanelWidget(panel_)->findChildren<QWidget*>()) {
        const QString key = Mnemonic(w);
        if (key.isEmpty()) continue;
        const auto [it, fresh] = taken.emplace(key, w->objectName());
        EXPECT_TRUE(fresh) << key.toStdString() << ": " << w->objectName().toStdString() << " and "
                           << it->second.toStdString();
    }

    record(PANEL_BTNDATA);
    record(PANEL_BUTTONRESET);
    QWidget* panel = PanelWidget(panel_);
    panel->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    for (int id : kCommandButtons) {
        const QString key = Mnemonic(CtrlWidget(panel_, id));
        EXPECT_FALSE(key.isEmpty()) << id;
    }
    // Alt and the letter press the button.
    QTest::keyClick(panel, Qt::Key_D, Qt::AltModifier);
    QTest::keyClick(panel, Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return eventsOf(PANEL_BUTTONRESET).size() == 1; }));
    EXPECT_EQ(eventsOf(PANEL_BTNDATA), std::vector<int>{EVENT_COMMIT});
    EXPECT_EQ(eventsOf(PANEL_BUTTONRESET), std::vector<int>{EVENT_COMMIT});
}
