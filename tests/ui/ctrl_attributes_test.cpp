// Control attributes and text messages created at run time.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "tests/support/ui/ui_readback.h"
#include "tests/ui/ui_test_support.h"

namespace {

QColor PixelColorOfText(QWidget* w) {
    // The darkest or most saturated pixel of a rendered read-out is its text.
    const QImage image = w->grab().toImage();
    QColor best(Qt::white);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c(image.pixel(x, y));
            if (c.saturation() > best.saturation()) best = c;
        }
    }
    return best;
}

}  // namespace

using ControlAttributes = PanelTest;

TEST_F(ControlAttributes, VisibilityAndDimmingReadBack) {
    int value = -1;
    ASSERT_EQ(SetCtrlAttribute(panel_, PANEL_BTNDATA, ATTR_VISIBLE, 0), 0);
    GetCtrlAttribute(panel_, PANEL_BTNDATA, ATTR_VISIBLE, &value);
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(CtrlWidget(panel_, PANEL_BTNDATA)->isVisible());
    SetCtrlAttribute(panel_, PANEL_BTNDATA, ATTR_VISIBLE, 1);
    GetCtrlAttribute(panel_, PANEL_BTNDATA, ATTR_VISIBLE, &value);
    EXPECT_EQ(value, 1);

    ASSERT_EQ(SetCtrlAttribute(panel_, PANEL_REFBOT, ATTR_DIMMED, 1), 0);
    GetCtrlAttribute(panel_, PANEL_REFBOT, ATTR_DIMMED, &value);
    EXPECT_EQ(value, 1);
    EXPECT_FALSE(CtrlWidget(panel_, PANEL_REFBOT)->isEnabled());
    SetCtrlAttribute(panel_, PANEL_REFBOT, ATTR_DIMMED, 0);
    GetCtrlAttribute(panel_, PANEL_REFBOT, ATTR_DIMMED, &value);
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(CtrlWidget(panel_, PANEL_REFBOT)->isEnabled());
}

TEST_F(ControlAttributes, DimmingALockFrameGreysOutWhatItHolds) {
    SetCtrlAttribute(panel_, PANEL_RUNLOCK, ATTR_DIMMED, 1);
    for (int id : {PANEL_BTNRUN, PANEL_BTNDATA, PANEL_DROPDCOM})
        EXPECT_FALSE(CtrlWidget(panel_, id)->isEnabled()) << id;
    // Stop sits outside both locks.
    SetCtrlAttribute(panel_, PANEL_DATALOCK, ATTR_DIMMED, 1);
    for (int id : {PANEL_BTNSEND, PANEL_BTNGET, PANEL_BUTTONTEACH, PANEL_BUTTONRESET, PANEL_RBTRAM,
                   PANEL_RBTEEPROM, PANEL_RBTFILE})
        EXPECT_FALSE(CtrlWidget(panel_, id)->isEnabled()) << id;
    EXPECT_TRUE(CtrlWidget(panel_, PANEL_BTNSTOP)->isEnabled());
    // The stop frame dims exactly the Stop button.
    SetCtrlAttribute(panel_, PANEL_STOPOFF, ATTR_DIMMED, 1);
    EXPECT_FALSE(CtrlWidget(panel_, PANEL_BTNSTOP)->isEnabled());
    SetCtrlAttribute(panel_, PANEL_RUNLOCK, ATTR_DIMMED, 0);
    EXPECT_TRUE(CtrlWidget(panel_, PANEL_BTNRUN)->isEnabled());
    EXPECT_FALSE(CtrlWidget(panel_, PANEL_BTNSEND)->isEnabled());
}

TEST_F(ControlAttributes, TextColourOfAReadOutIsDrawnAndKeepsItsFrame) {
    QWidget* readout = CtrlWidget(panel_, PANEL_MAXTOP1);
    const QString frame = readout->styleSheet();
    ASSERT_TRUE(frame.contains(QStringLiteral("border")));
    SetCtrlVal(panel_, PANEL_MAXTOP1, 888);
    ASSERT_EQ(SetCtrlAttribute(panel_, PANEL_MAXTOP1, ATTR_TEXT_COLOR, VAL_RED), 0);
    int colour = 0;
    GetCtrlAttribute(panel_, PANEL_MAXTOP1, ATTR_TEXT_COLOR, &colour);
    EXPECT_EQ(colour, VAL_RED);
    EXPECT_TRUE(readout->styleSheet().contains(QStringLiteral("border")));
    const QColor drawn = PixelColorOfText(readout);
    EXPECT_GT(drawn.red(), 200);
    EXPECT_LT(drawn.green(), 80);

    SetCtrlAttribute(panel_, PANEL_MAXTOP1, ATTR_TEXT_COLOR, VAL_BLUE);
    EXPECT_GT(PixelColorOfText(readout).blue(), 200);
    EXPECT_LT(PixelColorOfText(readout).red(), 80);
}

TEST_F(ControlAttributes, BackgroundFontAndSizeApply) {
    ASSERT_EQ(SetCtrlAttribute(panel_, PANEL_COUNT, ATTR_TEXT_BGCOLOR, 0x00FF00), 0);
    int bg = 0;
    GetCtrlAttribute(panel_, PANEL_COUNT, ATTR_TEXT_BGCOLOR, &bg);
    EXPECT_EQ(bg, 0x00FF00);
    QWidget* count = CtrlWidget(panel_, PANEL_COUNT);
    const QImage image = count->grab().toImage();
    EXPECT_EQ(QColor(image.pixel(count->width() / 4, count->height() / 2)), QColor(0, 255, 0));

    ASSERT_EQ(SetCtrlAttribute(panel_, PANEL_STATUS, ATTR_TEXT_POINT_SIZE, 15), 0);
    EXPECT_EQ(CtrlWidget(panel_, PANEL_STATUS)->font().pointSize(), 15);
    ASSERT_EQ(SetCtrlAttribute(panel_, PANEL_STATUS, ATTR_TEXT_FONT, "NIApp"), 0);
    EXPECT_EQ(CtrlWidget(panel_, PANEL_STATUS)->font().family(), QApplication::font().family());
    EXPECT_EQ(CtrlWidget(panel_, PANEL_STATUS)->font().pointSize(), 15);
    EXPECT_EQ(SetCtrlAttribute(panel_, PANEL_STATUS, ATTR_TEXT_POINT_SIZE, 0), kUiError);
}

TEST_F(ControlAttributes, TooltipCarriesTheReasonBehindAPortError) {
    ASSERT_EQ(SetCtrlAttribute(panel_, PANEL_STATUS, ATTR_TOOLTIP_TEXT, "Permission denied"), 0);
    EXPECT_EQ(CtrlWidget(panel_, PANEL_STATUS)->toolTip(), QStringLiteral("Permission denied"));
}

TEST_F(ControlAttributes, LabelTextRenamesButtonsAndTheLabelBesideAControl) {
    ASSERT_EQ(SetCtrlAttribute(panel_, PANEL_BTNRUN, ATTR_LABEL_TEXT, "Run again"), 0);
    EXPECT_EQ(ctrl<QPushButton>(PANEL_BTNRUN)->text(), QStringLiteral("Run again"));
    ASSERT_EQ(SetCtrlAttribute(panel_, PANEL_TOP1, ATTR_LABEL_TEXT, "TOP1 counts"), 0);
    const auto* label = PanelWidget(panel_)->findChild<QLabel*>(QStringLiteral("top1Label"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("TOP1 counts"));
    EXPECT_EQ(ctrl<QLabel>(PANEL_TOP1)->accessibleName(), QStringLiteral("TOP1")) << "its own name";
}

TEST_F(ControlAttributes, AttributesAControlDoesNotHaveAreRefused) {
    int value = 0;
    EXPECT_EQ(SetCtrlAttribute(panel_, PANEL_REFTOP, ATTR_NUM_CURSORS, 1), kUiError);
    EXPECT_EQ(SetCtrlAttribute(panel_, PANEL_REFTOP, ATTR_POINTS_PER_SCREEN, 50), kUiError);
    EXPECT_EQ(GetCtrlAttribute(panel_, PANEL_REFTOP, ATTR_NUM_TRACES, &value), kUiError);
    EXPECT_EQ(SetCtrlAttribute(panel_, PANEL_REFTOP, 9999, 1), kUiError);
    EXPECT_EQ(SetCtrlAttribute(panel_, PANEL_REFTOP, ATTR_DIMMED, "text"), kUiError);
    EXPECT_EQ(SetCtrlAttribute(panel_, PANEL_REFTOP, ATTR_TEXT_FONT, nullptr), kUiError);
    EXPECT_EQ(GetCtrlAttribute(panel_, PANEL_REFTOP, ATTR_VISIBLE, nullptr), kUiError);
}

TEST_F(ControlAttributes, TextMessageIsPlacedAtLeftTopOverTheLayout) {
    const int msg = NewCtrl(panel_, CTRL_TEXT_MSG, "", 19, 30);
    ASSERT_GT(msg, 0);
    auto* label = ctrl<QLabel>(msg);
    ASSERT_NE(label, nullptr);
    // Measured from the top left of the controls' area (below a menu bar, when there is one).
    EXPECT_TRUE(PanelWidget(panel_)->isAncestorOf(label));
    EXPECT_EQ(label->mapTo(PanelWidget(panel_), QPoint(0, 0)), QPoint(30, 19));
    EXPECT_TRUE(label->isVisible());

    SetCtrlAttribute(panel_, msg, ATTR_TEXT_FONT, "NIApp");
    SetCtrlAttribute(panel_, msg, ATTR_TEXT_POINT_SIZE, 18);
    SetCtrlAttribute(panel_, msg, ATTR_TEXT_COLOR, 0x0080FF);
    SetCtrlAttribute(panel_, msg, ATTR_TEXT_BGCOLOR, VAL_WHITE);
    ASSERT_EQ(SetCtrlVal(panel_, msg, "KERVANO-Scope-trg V1.31 "), 0);
    EXPECT_EQ(label->text(), QStringLiteral("KERVANO-Scope-trg V1.31 "));
    EXPECT_EQ(label->font().pointSize(), 18);
    EXPECT_EQ(label->pos(), QPoint(30, 19));
    // Sized to its text, which an 18-point title needs room for.
    EXPECT_GE(label->width(), QFontMetrics(label->font()).horizontalAdvance(label->text()));
    EXPECT_GE(label->height(), QFontMetrics(label->font()).height());
    int colour = 0;
    GetCtrlAttribute(panel_, msg, ATTR_TEXT_COLOR, &colour);
    EXPECT_EQ(colour, 0x0080FF);

    // A second message gets its own constant.
    const int other = NewCtrl(panel_, CTRL_TEXT_MSG, "second", 100, 200);
    EXPECT_GT(other, 0);
    EXPECT_NE(other, msg);
    EXPECT_EQ(ctrl<QLabel>(other)->text(), QStringLiteral("second"));
    EXPECT_EQ(NewCtrl(panel_, 99, "unknown style", 0, 0), kUiError);
    EXPECT_EQ(NewCtrl(12345, CTRL_TEXT_MSG, "no panel", 0, 0), kUiError);
}
