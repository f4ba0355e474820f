// The connection indicator and the window title, against the emulator on the simulated line.
#include "console/link_view.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <functional>

#include "console/commands.h"
#include "console/startup.h"
#include "link/link_state.h"
#include "link/port_setup.h"
#include "params/param_set.h"
#include "params/transfer_commands.h"
#include "platform/serial/port_table.h"
#include "platform/serial/serial_port.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "tests/support/app/panel_fixture.h"

using namespace kervano;

namespace {

const std::string kTitle = "kervano-scope \u2014 ";

class LinkViewTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        ResetLinkState();
        PortTablePin(1, "/dev/ttyKV1");
        PortTablePin(3, "/dev/ttyKV3");
        InstallLinkViews();
    }
    void TearDown() override {
        PanelFixture::TearDown();
        PortTableClearPins();
    }

    static QLabel* Indicator() {
        return PanelWidget(panelHandle)->findChild<QLabel*>(QStringLiteral("linkIndicator"));
    }
    static std::string Title() {
        return PanelWidget(panelHandle)->window()->windowTitle().toStdString();
    }
    // The colour the indicator is drawn in, away from its text and frame.
    static QColor DrawnColour() { return Indicator()->grab().toImage().pixelColor(4, 4); }
    static void Choose(int port) {
        ClearListCtrl(panelHandle, PANEL_DROPDCOM);
        InsertListItem(panelHandle, PANEL_DROPDCOM, -1, "COM1", 1);
        InsertListItem(panelHandle, PANEL_DROPDCOM, -1, "COM3", 3);
        SetCtrlVal(panelHandle, PANEL_DROPDCOM, port);
        CC_DropDCom(panelHandle, PANEL_DROPDCOM, EVENT_COMMIT, nullptr, 0, 0);
    }
    static void Click(int control, CtrlCallbackPtr callback) {
        callback(panelHandle, control, EVENT_COMMIT, nullptr, 0, 0);
    }
};

}  // namespace

TEST_F(LinkViewTest, ThreeStatesEachWithTextColourAndTooltip) {
    struct Case {
        const char* what;
        std::function<void()> act;
        LinkState state;
        const char* text;
        const char* explained;  // part of the tooltip
    };
    const Case cases[] = {
        {"good set-up", [] { InitRS232(1); }, LINK_ANSWERING, "Answering",
         "answered the last exchange on COM1"},
        {"silent controller",
         [this] {
             controller.model().faults.silent = true;
             InitRS232(1);
         },
         LINK_NOT_ANSWERING, "Not answering", "did not come in time"},
        {"echo check failed",
         [this] {
             controller.model().faults.echoWord = 0xAA00;
             InitRS232(1);
         },
         LINK_NOT_ANSWERING, "Not answering", "echo check failed"},
        {"run on a controller that fell silent",
         [this] {
             InitRS232(1);
             controller.model().faults.silent = true;
             Click(PANEL_BTNRUN, CC_BTNRun);
         },
         LINK_NOT_ANSWERING, "Not answering", "COM1 is open"},
        {"open failed",
         [this] {
             line.setOpenResult(1, kComCannotOpen, "Permission denied");
             InitRS232(1);
         },
         LINK_PORT_CLOSED, "Port closed", "COM1 could not be opened (Permission denied)"},
        {"device unplugged, then a Get",
         [this] {
             InitRS232(1);
             line.unplug(1);
             Click(PANEL_BTNGET, CC_BTNGet);
         },
         LINK_PORT_CLOSED, "Port closed", "the device behind COM1 went away"},
    };
    QColor colours[3];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        controller.model().faults = {};
        line.setOpenResult(1, 0);
        line.plugIn(1);
        target = RAM;
        CloseCom(1);
        ResetLinkState();
        c.act();
        EXPECT_EQ(linkState, c.state);
        EXPECT_EQ(Indicator()->text().toStdString(), c.text);
        EXPECT_TRUE(Indicator()->toolTip().contains(QString::fromLatin1(c.explained)))
            << Indicator()->toolTip().toStdString();
        const QColor drawn = DrawnColour();
        if (colours[c.state].isValid()) {
            EXPECT_EQ(drawn, colours[c.state]) << "one colour per state";
        }
        colours[c.state] = drawn;
    }
    EXPECT_NE(colours[LINK_ANSWERING], colours[LINK_NOT_ANSWERING]);
    EXPECT_NE(colours[LINK_NOT_ANSWERING], colours[LINK_PORT_CLOSED]);
    EXPECT_GT(colours[LINK_ANSWERING].green(), colours[LINK_ANSWERING].red());
    EXPECT_GT(colours[LINK_PORT_CLOSED].red(), colours[LINK_PORT_CLOSED].green());
}

TEST_F(LinkViewTest, TitleNamesThePortInUseAndFollowsEveryChange) {
    EXPECT_EQ(Title(), kTitle + "no port");
    InitRS232(1);
    EXPECT_EQ(Title(), kTitle + "COM1 /dev/ttyKV1");
    Choose(3);  // opens, though nothing answers there
    EXPECT_EQ(linkState, LINK_NOT_ANSWERING);
    EXPECT_EQ(Title(), kTitle + "COM3 /dev/ttyKV3");
    line.setOpenResult(3, kComCannotOpen);
    Choose(3);
    EXPECT_EQ(Title(), kTitle + "no port");
    Choose(1);
    EXPECT_EQ(Title(), kTitle + "COM1 /dev/ttyKV1");
    EXPECT_EQ(StatusText(), controller.model().firmwareText)
        << "the set-up's texts stay as they are";
}
