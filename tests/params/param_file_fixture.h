// Saving and loading parameter files through the Send and Get commands, on the real panel,
// with the file dialog answered by the test.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <string>
#include <vector>

#include "console/startup.h"
#include "params/param_set.h"
#include "params/transfer_commands.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_ids.h"
#include "tests/support/app/panel_fixture.h"
#include "tests/support/read_text.h"

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The fifteen controls of the full packet, in file order (positions 2 to 16).
inline constexpr int kFullControls[] = {
    PANEL_POWERTOP, PANEL_POWERBOT, PANEL_POWERDIG, PANEL_REFTOP,  PANEL_REFBOT,
    PANEL_TOLTOP,   PANEL_TOLBOT,   PANEL_TRIGTOP,  PANEL_TRIGBOT, PANEL_HYSTTOP,
    PANEL_HYSTBOT,  PANEL_EVALMODE, PANEL_HWMODE,   PANEL_MAXMODE, PANEL_POLARITY};

class ParamFileTest : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("CONpara.dat").toStdString();
        ::SetFileSelectHook(
            [this](const std::string& title, const std::string& proposed, std::string& chosen) {
                dialogTitles.push_back(title);
                proposedPaths.push_back(proposed);
                if (answer <= 0) return answer;
                chosen = path;
                return answer;
            });
        kervano::target = kervano::DATFILE;
    }
    void TearDown() override {
        ::SetFileSelectHook({});
        PanelFixture::TearDown();
    }
    void Send() {
        kervano::CC_BTNSend(kervano::panelHandle, PANEL_BTNSEND, EVENT_LEFT_CLICK, nullptr, 0, 0);
        kervano::CC_BTNSend(kervano::panelHandle, PANEL_BTNSEND, EVENT_COMMIT, nullptr, 0, 0);
    }
    void Get() {
        kervano::CC_BTNGet(kervano::panelHandle, PANEL_BTNGET, EVENT_LEFT_CLICK, nullptr, 0, 0);
        kervano::CC_BTNGet(kervano::panelHandle, PANEL_BTNGET, EVENT_COMMIT, nullptr, 0, 0);
    }

    QTemporaryDir dir;
    std::string path;  // what the dialog chooses
    int answer = 1;    // the dialog's result: 0 cancelled, < 0 failed
    std::vector<std::string> dialogTitles, proposedPaths;
};
