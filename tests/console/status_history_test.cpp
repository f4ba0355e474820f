// The status history: what the status line showed, with times, behind its button.
#include "console/status_history.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTime>
#include <QToolButton>

#include "console/commands.h"
#include "console/link_view.h"
#include "console/startup.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "resources/status_line.h"
#include "tests/support/app/panel_fixture.h"

using namespace kervano;

namespace {

class StatusHistoryTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        InstallLinkViews();
        ClearStatusHistory();
    }
    template <typename T>
    static T* Find(const char* name) {
        return PanelWidget(panelHandle)->findChild<T*>(QString::fromLatin1(name));
    }
    static std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        for (const StatusHistoryEntry& e : StatusHistory()) texts.push_back(e.text);
        return texts;
    }
};

}  // namespace

TEST_F(StatusHistoryTest, KeepsTheLastTwoHundredTextsWithTheirTimesRepeatsIncluded) {
    const QTime before = QTime::currentTime();
    for (int i = 0; i < 205; ++i) ShowStatus(("text " + std::to_string(i / 2)).c_str());
    const QTime after = QTime::currentTime();

    const auto& history = StatusHistory();
    ASSERT_EQ(history.size(), 200u);
    EXPECT_EQ(history.front().text, "text 2") << "the oldest five went";
    EXPECT_EQ(history[1].text, "text 3");
    EXPECT_EQ(history[2].text, "text 3") << "a repeat is kept";
    EXPECT_EQ(history.back().text, "text 102");
    for (const StatusHistoryEntry& e : history) {
        const QTime t = QTime::fromString(QString::fromStdString(e.time), "hh:mm:ss.zzz");
        ASSERT_TRUE(t.isValid()) << e.time;
        // Taken while the loop ran (unless midnight fell in between).
        EXPECT_TRUE((before <= t && t <= after) || after < before) << e.time;
    }
}

TEST_F(StatusHistoryTest, WindowShowsATextThatFlashedByAndCopiesAndClears) {
    OpenLine();
    CC_ButtonTeach(panelHandle, PANEL_BUTTONTEACH, EVENT_COMMIT, nullptr, 0, 0);
    ASSERT_EQ(StatusText(), "Parameter-frame received! - Line Ok!");

    QTest::mouseClick(Find<QToolButton>("statusHistoryButton"), Qt::LeftButton);
    auto* window = Find<QWidget>("statusHistoryWindow");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the panel stays usable";
    auto* lines = Find<QPlainTextEdit>("statusHistoryLines");
    const QStringList shown = lines->toPlainText().split('\n');
    const QStringList expected = {"Line Ok!", "New setpoint value teached!",
                                  "Waiting for parameter-frame ...",
                                  "Parameter-frame received! - Line Ok!"};
    ASSERT_EQ(shown.size(), expected.size());
    const QRegularExpression timed("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d  (.*)$");
    for (int i = 0; i < shown.size(); ++i) {
        const auto match = timed.match(shown[i]);
        ASSERT_TRUE(match.hasMatch()) << shown[i].toStdString();
        EXPECT_EQ(match.captured(1), expected[i]) << "newest last";
    }

    ShowStatus("shown while the window is open");
    EXPECT_TRUE(lines->toPlainText().endsWith("  shown while the window is open"));

    QTest::mouseClick(Find<QPushButton>("statusHistoryCopy"), Qt::LeftButton);
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_EQ(copied.count('\n'), 5);
    EXPECT_EQ(copied, lines->toPlainText() + "\n");

    QTest::mouseClick(Find<QPushButton>("statusHistoryClear"), Qt::LeftButton);
    EXPECT_TRUE(StatusHistory().empty());
    EXPECT_TRUE(lines->toPlainText().isEmpty());
    ShowStatus("after the clear");
    EXPECT_EQ(Texts(), std::vector<std::string>{"after the clear"});
}
