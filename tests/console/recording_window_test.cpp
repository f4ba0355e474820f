// File > Open recording... on the real panel: a file written by the recorder opens in its
// window, which names it and its rows, reads out the row under the pointer and zooms and
// pans from the keyboard; a foreign file is refused with a status text.
#include "console/recording_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "console/menus.h"
#include "console/recording_plot.h"
#include "platform/files/file_service.h"
#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_handle.h"
#include "tests/support/app/panel_fixture.h"
#include "tests/support/scoped_time_zone.h"

using namespace kervano;

namespace {

constexpr int kRows = 1000;
constexpr long long kStartMs = 1772456709000LL;  // 2026-03-02 13:05:09 UTC

class RecordingWindowTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        InstallPanelMenus();
        InstallRecordingCommand();
        path = dir.filePath(QStringLiteral("monitor.csv")).toStdString();
        long long now = kStartMs;
        MonitorRecorder recorder([&now] { return now; });
        ASSERT_TRUE(recorder.open(path));
        for (int r = 0; r < kRows; ++r) {
            unsigned short words[kMonitorWords];
            for (int k = 0; k < kMonitorWords; ++k) words[k] = static_cast<unsigned short>(r + k);
            now = kStartMs + r * 40;
            ASSERT_TRUE(recorder.append(words));
        }
    }
    void TearDown() override {
        SetFileSelectHook({});
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("recordingWindow")) delete w;
        PanelFixture::TearDown();
    }
    // The command from the File menu, the dialog answering with file.
    QWidget* Open(const std::string& file) {
        SetFileSelectHook([file](const std::string&, const std::string&, std::string& chosen) {
            chosen = file;
            return 1;
        });
        PanelWidget(panelHandle)
            ->findChild<QAction*>(QStringLiteral("actionOpenRecording"))
            ->trigger();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("recordingWindow") && w->isVisible()) return w;
        return nullptr;
    }

    QTemporaryDir dir;
    std::string path;
    ScopedTimeZone cet{"CET-1"};
};

}  // namespace

TEST_F(RecordingWindowTest, OpensNamesTheFileAndReadsOutTheRowAtThePointer) {
    QWidget* window = Open(path);
    ASSERT_NE(window, nullptr) << StatusText();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Recording - monitor.csv"));
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("recordingSummary"))->text(),
              QStringLiteral("1000 rows from 2026-03-02 14:05:09 to 14:05:48 (0:00:39), 0 rows "
                             "skipped (cut short or damaged)"));
    auto* plot = window->findChild<RecordingPlot*>();
    ASSERT_NE(plot, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const int x = qRound(plot->xOf(kStartMs + 500 * 40));
    EXPECT_EQ(plot->rowAt(x), 500u);
    QTest::mouseMove(plot, QPoint(x, plot->height() / 2));
    const QString readout = window->findChild<QLabel*>(QStringLiteral("recordingReadout"))->text();
    EXPECT_TRUE(readout.startsWith(QStringLiteral("14:05:29.000  rawTop1 500  rawTop2 501")))
        << readout.toStdString();
    EXPECT_TRUE(readout.endsWith(QStringLiteral("indexA 515"))) << readout.toStdString();
    EXPECT_EQ(StatusText(), "Recording opened: 1000 rows from " + path);
}

TEST_F(RecordingWindowTest, KeysZoomPanAndShowAll) {
    QWidget* window = Open(path);
    ASSERT_NE(window, nullptr);
    auto* plot = window->findChild<RecordingPlot*>();
    const double all = plot->view().span();
    EXPECT_DOUBLE_EQ(all, (kRows - 1) * 40.0);
    QTest::keyClick(plot, Qt::Key_Plus);
    EXPECT_DOUBLE_EQ(plot->view().span(), all / 2);
    const double begin = plot->view().begin();
    QTest::keyClick(plot, Qt::Key_Right);
    EXPECT_DOUBLE_EQ(plot->view().begin(), begin + all / 8);
    QTest::keyClick(plot, Qt::Key_Minus);
    QTest::keyClick(plot, Qt::Key_Minus);
    EXPECT_DOUBLE_EQ(plot->view().span(), all) << "never wider than the recording";
    QTest::keyClick(plot, Qt::Key_Plus);
    QTest::keyClick(plot, Qt::Key_Home);
    EXPECT_DOUBLE_EQ(plot->view().begin(), static_cast<double>(kStartMs));
    EXPECT_DOUBLE_EQ(plot->view().span(), all);
}

TEST_F(RecordingWindowTest, AForeignFileIsRefusedWithAStatusText) {
    const std::string other = dir.filePath(QStringLiteral("params.csv")).toStdString();
    ASSERT_TRUE(WriteFileWhole(other, "a,b\n1,2\n"));
    EXPECT_EQ(Open(other), nullptr);
    EXPECT_EQ(StatusText(), "Cannot open recording " + other + " - not a monitor recording!");
}
