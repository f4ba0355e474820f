// Control values: 16-bit parameters, radio buttons, selectors, lamps and text.
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <cstring>

#include "platform/ui/led.h"
#include "tests/ui/ui_test_support.h"

using ControlValues = PanelTest;

TEST_F(ControlValues, ParametersRoundTripTheFullUnsignedSixteenBitRange) {
    for (unsigned int value : {0u, 1u, 32767u, 32768u, 65535u}) {
        ASSERT_EQ(SetCtrlVal(panel_, PANEL_REFTOP, value), 0);
        unsigned short read = 12345;
        ASSERT_EQ(GetCtrlVal(panel_, PANEL_REFTOP, &read), 0);
        EXPECT_EQ(read, value);
        int wide = -7;
        ASSERT_EQ(GetCtrlVal(panel_, PANEL_REFTOP, &wide), 0);
        EXPECT_EQ(wide, static_cast<int>(value));  // 65535 stays 65535, never -1
    }
}

TEST_F(ControlValues, ParametersClampValuesOutsideTheirRange) {
    SetCtrlVal(panel_, PANEL_HOLD, 70000u);
    unsigned short read = 0;
    GetCtrlVal(panel_, PANEL_HOLD, &read);
    EXPECT_EQ(read, 65535);
    SetCtrlVal(panel_, PANEL_HOLD, -5);
    GetCtrlVal(panel_, PANEL_HOLD, &read);
    EXPECT_EQ(read, 0);
}

TEST_F(ControlValues, RadioButtonsDeliverAFullIntZeroOrOne) {
    for (int set : {1, 0}) {
        int value = 0x5A5A5A5A;  // every byte of it is written
        SetCtrlVal(panel_, PANEL_RBTFILE, set);
        ASSERT_EQ(GetCtrlVal(panel_, PANEL_RBTFILE, &value), 0);
        EXPECT_EQ(value, set);
    }
    // The program keeps the group exclusive; setting one leaves the others alone.
    SetCtrlVal(panel_, PANEL_RBTEEPROM, 1);
    int ram = 0;
    GetCtrlVal(panel_, PANEL_RBTRAM, &ram);
    EXPECT_EQ(ram, 1);
}

TEST_F(ControlValues, SelectorHoldsTheValueOfItsCurrentItem) {
    ASSERT_EQ(ClearListCtrl(panel_, PANEL_DROPDCOM), 0);
    ASSERT_EQ(InsertListItem(panel_, PANEL_DROPDCOM, -1, "COM3  /dev/ttyUSB0  FT232R USB UART", 3),
              0);
    ASSERT_EQ(InsertListItem(panel_, PANEL_DROPDCOM, -1, "COM7  /dev/ttyACM0", 7), 0);
    ASSERT_EQ(InsertListItem(panel_, PANEL_DROPDCOM, 0, "COM1  /dev/ttyS0", 1), 0);
    auto* combo = ctrl<QComboBox>(PANEL_DROPDCOM);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("COM1  /dev/ttyS0"));

    ASSERT_EQ(SetCtrlVal(panel_, PANEL_DROPDCOM, 7), 0);
    EXPECT_EQ(combo->currentIndex(), 2);
    int value = 0;
    ASSERT_EQ(GetCtrlVal(panel_, PANEL_DROPDCOM, &value), 0);
    EXPECT_EQ(value, 7);
    char text[64];
    ASSERT_EQ(GetCtrlVal(panel_, PANEL_DROPDCOM, text, sizeof text), 0);
    EXPECT_STREQ(text, "COM7  /dev/ttyACM0");

    // A value no item has is refused and changes nothing.
    EXPECT_EQ(SetCtrlVal(panel_, PANEL_DROPDCOM, 5), kUiError);
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(InsertListItem(panel_, PANEL_DROPDCOM, 9, "far", 9), kUiError);
    EXPECT_EQ(InsertListItem(panel_, PANEL_REFTOP, -1, "not a list", 1), kUiError);

    ASSERT_EQ(ClearListCtrl(panel_, PANEL_DROPDCOM), 0);
    EXPECT_EQ(combo->count(), 0);
    EXPECT_EQ(GetCtrlVal(panel_, PANEL_DROPDCOM, &value), kUiError);
}

TEST_F(ControlValues, LampsSwitchOnAndOff) {
    auto* led = ctrl<Led>(PANEL_LED2);
    ASSERT_NE(led, nullptr);
    SetCtrlVal(panel_, PANEL_LED2, 1);
    EXPECT_TRUE(led->isOn());
    int value = 0;
    GetCtrlVal(panel_, PANEL_LED2, &value);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(led->accessibleDescription(), QStringLiteral("on"));
    // Drawn bright when on, dark when off.
    const QImage on = led->grab().toImage();
    SetCtrlVal(panel_, PANEL_LED2, 0);
    EXPECT_FALSE(led->isOn());
    const QImage off = led->grab().toImage();
    const QPoint centre(led->width() / 2, led->height() / 2);
    EXPECT_GT(QColor(on.pixel(centre)).lightness(), QColor(off.pixel(centre)).lightness() + 60);
}

TEST_F(ControlValues, StatusLineTakesAndReturnsText) {
    ASSERT_EQ(SetCtrlVal(panel_, PANEL_STATUS, "COM3: port opened at 38400 baud"), 0);
    auto* status = ctrl<QLineEdit>(PANEL_STATUS);
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->isReadOnly());
    EXPECT_EQ(status->text(), QStringLiteral("COM3: port opened at 38400 baud"));
    char text[80];
    ASSERT_EQ(GetCtrlVal(panel_, PANEL_STATUS, text, sizeof text), 0);
    EXPECT_STREQ(text, "COM3: port opened at 38400 baud");
}

TEST_F(ControlValues, TextReadsStopAtTheGivenSize) {
    SetCtrlVal(panel_, PANEL_STATUS, "0123456789");
    char text[8];
    std::memset(text, 'X', sizeof text);
    ASSERT_EQ(GetCtrlVal(panel_, PANEL_STATUS, text, 5), 0);
    EXPECT_STREQ(text, "0123");
    EXPECT_EQ(text[5], 'X');  // nothing written past size
    EXPECT_EQ(GetCtrlVal(panel_, PANEL_STATUS, text, 0), kUiError);
    EXPECT_EQ(GetCtrlVal(panel_, PANEL_STATUS, static_cast<char*>(nullptr), 8), kUiError);
    EXPECT_EQ(SetCtrlVal(panel_, PANEL_STATUS, static_cast<const char*>(nullptr)), kUiError);
}

TEST_F(ControlValues, NumbersGivenAsTextReachNumericControls) {
    EXPECT_EQ(SetCtrlVal(panel_, PANEL_TOLBOT, "77"), 0);
    EXPECT_EQ(ctrl<QSpinBox>(PANEL_TOLBOT)->value(), 77);
    EXPECT_EQ(SetCtrlVal(panel_, PANEL_TOLBOT, "seventy"), kUiError);
    EXPECT_EQ(ctrl<QSpinBox>(PANEL_TOLBOT)->value(), 77);
}
