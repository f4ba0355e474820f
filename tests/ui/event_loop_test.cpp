// The user-interface loop: quitting from callbacks, nested event processing and closing.
#include <QCoreApplication>
#include <QTimer>

#include "tests/ui/ui_test_support.h"

namespace {

int QuitOnClose(int, int event, void* data, int, int) {
    if (event == EVENT_CLOSE) {
        ++*static_cast<int*>(data);
        QuitUserInterface(5);
    }
    return 0;
}

}  // namespace

TEST(UserInterfaceLoop, RunsUntilQuitAndReturnsItsCode) {
    QTimer::singleShot(0, [] { QuitUserInterface(42); });
    EXPECT_EQ(RunUserInterface(), 42);
}

TEST(UserInterfaceLoop, QuitInsideNestedEventProcessingEndsTheLoopAfterReturning) {
    bool callbackFinished = false;
    bool loopRanOn = false;
    QTimer::singleShot(0, [&] {
        // A callback that processes events itself (as ProcessSystemEvents does), during
        // which another callback quits.
        QTimer::singleShot(0, [] { QuitUserInterface(3); });
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        callbackFinished = true;
    });
    // A timer of the test's own: gone with the test, so it can never fire into a later one.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        loopRanOn = true;
        QuitUserInterface(-99);
    });
    guard.start(10000);
    EXPECT_EQ(RunUserInterface(), 3);
    EXPECT_TRUE(callbackFinished);
    EXPECT_FALSE(loopRanOn);
}

TEST(UserInterfaceLoop, QuitBeforeTheLoopRunsEndsItAtOnce) {
    QuitUserInterface(8);
    EXPECT_EQ(RunUserInterface(), 8);
    // Consumed: the next loop runs normally.
    QTimer::singleShot(0, [] { QuitUserInterface(9); });
    EXPECT_EQ(RunUserInterface(), 9);
}

TEST(UserInterfaceLoop, ClosingTheMainWindowQuitsThroughThePanelCallback) {
    SetResourceNames(kPanelResourceNames, kPanelResourceNameCount);
    const int panel = LoadPanel(0, PanelResourcePath().c_str(), PANEL);
    ASSERT_GT(panel, 0);
    int closes = 0;
    InstallPanelCallback(panel, QuitOnClose, &closes);
    DisplayPanel(panel);
    QWidget* window = PanelWidget(panel);
    bool closedDuringLoop = true;
    QTimer::singleShot(0, [&] { closedDuringLoop = window->close(); });
    EXPECT_EQ(RunUserInterface(), 5);
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(closedDuringLoop);
    EXPECT_TRUE(window->isVisible());
    // After quitting, the window closes like any other.
    EXPECT_TRUE(window->close());
    EXPECT_EQ(closes, 1);
    DiscardPanel(panel);
    FlushDeletions();
}

TEST(UserInterfaceLoop, PanelWithoutACallbackClosesNormally) {
    SetResourceNames(kPanelResourceNames, kPanelResourceNameCount);
    const int popup = LoadPanel(0, PanelResourcePath().c_str(), POPUP);
    ASSERT_GT(popup, 0);
    DisplayPanel(popup);
    EXPECT_TRUE(PanelWidget(popup)->close());
    EXPECT_FALSE(PanelWidget(popup)->isVisible());
    DiscardPanel(popup);
    FlushDeletions();
}
