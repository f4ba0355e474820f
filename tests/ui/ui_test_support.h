// Shared pieces of the UI service tests: the real panel resource loaded and shown on the
// offscreen platform, and a recorder for the events the callbacks receive.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <string>
#include <vector>

#include "platform/ui/qt_panel_access.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"

std::string PanelResourcePath();

struct RecordedEvent {
    int panel;
    int control;
    int event;
};

class PanelTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    template <class T>
    T* ctrl(int control) const {
        return qobject_cast<T*>(CtrlWidget(panel_, control));
    }
    // Installs a callback on control that appends every event it receives to events_.
    void record(int control);
    // The event codes recorded for control, in order.
    std::vector<int> eventsOf(int control) const;

    int panel_ = -1;
    std::vector<RecordedEvent> events_;
};

int RecordEvent(int panel, int control, int event, void* callbackData, int eventData1,
                int eventData2);

// Runs posted deletions so discarded panels are really gone.
void FlushDeletions();
