#include "tests/ui/ui_test_support.h"

#include <QCoreApplication>
#include <QTest>

// The constants' names live in the application library, which this suite does not link.
#include "resources/panel_ids.cpp"

std::string PanelResourcePath() {
    return KV_SOURCE_DIR "/resources/KERVANO1trgV13.ui";
}

int RecordEvent(int panel, int control, int event, void* callbackData, int, int) {
    static_cast<std::vector<RecordedEvent>*>(callbackData)->push_back({panel, control, event});
    return 0;
}

void FlushDeletions() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void PanelTest::SetUp() {
    SetResourceNames(kPanelResourceNames, kPanelResourceNameCount);
    panel_ = LoadPanel(0, PanelResourcePath().c_str(), PANEL);
    ASSERT_GT(panel_, 0);
    ASSERT_EQ(DisplayPanel(panel_), 0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(PanelWidget(panel_)));
}

void PanelTest::TearDown() {
    if (panel_ > 0) DiscardPanel(panel_);
    FlushDeletions();
}

void PanelTest::record(int control) {
    ASSERT_EQ(InstallCtrlCallback(panel_, control, RecordEvent, &events_), 0);
}

std::vector<int> PanelTest::eventsOf(int control) const {
    std::vector<int> codes;
    for (const RecordedEvent& e : events_) {
        if (e.control == control) codes.push_back(e.event);
    }
    return codes;
}
