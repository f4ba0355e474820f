// The read-outs to assistive technology: the name names the read-out, the value is the
// number, and a value the monitor changes quickly is announced a few times a second at most.
#include "platform/ui/readout.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include "tests/ui/ui_test_support.h"

using Readouts = PanelTest;

TEST_F(Readouts, ShowTheirNumberAndNameItAndItsValueToAssistiveTechnology) {
    const std::pair<int, const char*> readouts[] = {{PANEL_TOP1, "TOP1"},
                                                    {PANEL_TOP2, "TOP2"},
                                                    {PANEL_BOT1, "BOT1"},
                                                    {PANEL_BOT2, "BOT2"},
                                                    {PANEL_MAXTOP1, "TOP1 maximum"},
                                                    {PANEL_MAXTOP2, "TOP2 maximum"},
                                                    {PANEL_MAXBOT1, "BOT1 maximum"},
                                                    {PANEL_MAXBOT2, "BOT2 maximum"},
                                                    {PANEL_COUNT, "Count"},
                                                    {PANEL_INDEXA, "Index"}};
    int value = 1200;
    for (const auto& [id, name] : readouts) {
        ASSERT_NE(ctrl<Readout>(id), nullptr) << name;
        // Shown and read back as written, over the whole unsigned 16-bit range.
        for (unsigned int shown : {0u, 65535u}) {
            ASSERT_EQ(SetCtrlVal(panel_, id, shown), 0) << name;
            unsigned short back = 1;
            ASSERT_EQ(GetCtrlVal(panel_, id, &back), 0) << name;
            EXPECT_EQ(back, shown) << name;
            EXPECT_EQ(ctrl<Readout>(id)->text(), QString::number(shown)) << name;
        }
        ASSERT_EQ(SetCtrlVal(panel_, id, ++value), 0);
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(CtrlWidget(panel_, id));
        ASSERT_NE(a11y, nullptr);
        EXPECT_EQ(a11y->text(QAccessible::Name), QString::fromLatin1(name));
        EXPECT_EQ(a11y->text(QAccessible::Value), QString::number(value));
        ASSERT_NE(a11y->valueInterface(), nullptr) << name;
        EXPECT_EQ(a11y->valueInterface()->currentValue().toInt(), value);
        EXPECT_TRUE(a11y->state().readOnly);
        // The program reads back what it wrote.
        unsigned short back = 0;
        ASSERT_EQ(GetCtrlVal(panel_, id, &back), 0);
        EXPECT_EQ(back, value);
    }
}

TEST_F(Readouts, RapidChangesAreAnnouncedAFewTimesASecond) {
    struct Announcement {
        qint64 atMs;
        int value;
    };
    std::vector<Announcement> announced;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(ctrl<Readout>(PANEL_TOP1), &Readout::valueAnnounced, [&](const QVariant& v) {
        announced.push_back({clock.elapsed(), v.toInt()});
    });

    ctrl<Readout>(PANEL_TOP1)->repaint();  // the panel as it first appeared
    // A monitor run writes a new value many times a second.
    constexpr int kLast = 150;
    for (int v = 1; v <= kLast; ++v) {
        SetCtrlVal(panel_, PANEL_TOP1, v);
        QTest::qWait(2);
    }
    const qint64 writing = clock.elapsed();
    // The newest value is told once the hold-off after the previous announcement has passed.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !announced.empty() && announced.back().value == kLast; }));

    ASSERT_FALSE(announced.empty());
    EXPECT_EQ(announced.front().value, 1);  // the first change is told at once
    // Timers may fire a little early; a slow machine only spaces them further apart.
    const qint64 spacing = Readout::kAnnounceIntervalMs * 9 / 10;
    EXPECT_LE(announced.size(), size_t(writing / spacing + 2));
    for (size_t i = 1; i < announced.size(); ++i) {
        EXPECT_GE(announced[i].atMs - announced[i - 1].atMs, spacing);
        EXPECT_GT(announced[i].value, announced[i - 1].value);
    }
    // A value that does not change is not told again.
    const size_t told = announced.size();
    SetCtrlVal(panel_, PANEL_TOP1, kLast);
    QTest::qWait(Readout::kAnnounceIntervalMs * 2);
    EXPECT_EQ(announced.size(), told);
}

TEST_F(Readouts, KeepTheirSizeForNumbersAndGrowForWiderText) {
    auto* top1 = ctrl<Readout>(PANEL_TOP1);
    ASSERT_NE(top1, nullptr);
    SetCtrlVal(panel_, PANEL_TOP1, 0);
    QApplication::processEvents();
    const QSize small = top1->size();
    SetCtrlVal(panel_, PANEL_TOP1, 65535);
    QApplication::processEvents();
    EXPECT_EQ(top1->size(), small) << "the widest number fits the size it always had";
    EXPECT_GE(top1->contentsRect().width(), top1->fontMetrics().horizontalAdvance("65535"));

    const char* wide = "no reply from controller";
    SetCtrlVal(panel_, PANEL_TOP1, wide);
    QApplication::processEvents();
    EXPECT_GE(top1->contentsRect().width(), top1->fontMetrics().horizontalAdvance(wide));
}
