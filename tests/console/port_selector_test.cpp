// The COM selector lists the port table and keeps the port in use selected.
#include "console/port_selector.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QStyle>
#include <QStyleFactory>
#include <memory>

#include "console/startup.h"
#include "link/port_setup.h"
#include "platform/serial/port_table.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "tests/support/app/panel_fixture.h"

using namespace kervano;

namespace {

class PortSelectorTest : public PanelFixture {
  protected:
    void TearDown() override {
        PortTableClearPins();
        PanelFixture::TearDown();
    }
    QComboBox* Selector() {
        return qobject_cast<QComboBox*>(CtrlWidget(panelHandle, PANEL_DROPDCOM));
    }
};

}  // namespace

TEST_F(PortSelectorTest, ListsPinnedDevicesWithTheirNumbersAndSelectsThePortInUse) {
    PortTablePin(7, "/dev/pts/77", "seventh");
    PortTablePin(1, "/dev/pts/11", "first");
    com = 7;
    FillPortSelector();
    QComboBox* selector = Selector();
    ASSERT_NE(selector, nullptr);
    const int seventh = selector->findData(7);
    ASSERT_GE(seventh, 0);
    EXPECT_EQ(selector->itemText(seventh).toStdString(), "COM7  /dev/pts/77  seventh");
    int value = 0;
    GetCtrlVal(panelHandle, PANEL_DROPDCOM, &value);
    EXPECT_EQ(value, 7);
}

TEST_F(PortSelectorTest, PortInUseWithoutDeviceIsStillListed) {
    com = 42;
    FillPortSelector();
    const int index = Selector()->findData(42);
    ASSERT_GE(index, 0);
    EXPECT_EQ(Selector()->itemText(index).toStdString(), "COM42  (no device)");
    EXPECT_EQ(Selector()->currentIndex(), index);
}

TEST_F(PortSelectorTest, RefreshOnlyWhenTheTableChanged) {
    com = 1;
    FillPortSelector();
    EXPECT_FALSE(RefreshPortSelector());
    PortTablePin(9, "/dev/pts/99", "plugged in");
    EXPECT_TRUE(RefreshPortSelector());
    EXPECT_GE(Selector()->findData(9), 0);
    int value = 0;
    GetCtrlVal(panelHandle, PANEL_DROPDCOM, &value);
    EXPECT_EQ(value, 1) << "the port in use stays selected";
    EXPECT_FALSE(RefreshPortSelector());
}

TEST_F(PortSelectorTest, OpenListShowsWholeLabelsWithoutWideningTheClosedSelector) {
    QComboBox* selector = Selector();
    const int closedWidth = selector->sizeHint().width();
    PortTablePin(3, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
                 "FT232R USB UART");
    com = 3;
    FillPortSelector();
    const int index = selector->findData(3);
    ASSERT_GE(index, 0);
    const QString label = selector->itemText(index);
    EXPECT_EQ(selector->itemData(index, Qt::ToolTipRole).toString().toStdString(),
              label.toStdString());
    EXPECT_EQ(selector->sizeHint().width(), closedWidth);

    // Styles that open the list as a menu widen it themselves; the others do not.
    for (const char* styleName : {"Fusion", "Windows"}) {
        std::unique_ptr<QStyle> style(QStyleFactory::create(QString::fromLatin1(styleName)));
        ASSERT_NE(style, nullptr) << styleName;
        selector->setStyle(style.get());
        selector->showPopup();
        QAbstractItemView* list = selector->view();
        EXPECT_GE(list->viewport()->width(), list->fontMetrics().horizontalAdvance(label))
            << styleName << ": the open list cuts the label short";
        selector->hidePopup();
        selector->setStyle(nullptr);
    }
}
