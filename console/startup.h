// Start-up and shutdown, the panel callbacks and the title banner.
#pragma once

#include "resources/panel_handle.h"

namespace kervano {

extern int panelPopUp;
extern int stop_flag;

constexpr const char* kBannerText = "KERVANO-Scope-trg V1.31 ";

// The program's life from panel load to exit; returns the exit code (0, or -1 when the
// panels could not be loaded).
int WinMain(void* instance, void* previousInstance, char* commandLine, int showCommand);
void InitVars();
void ShowInfoText(const char* text, int left, int top, int pointSize);
// Installs the callbacks of both panels' controls.
void InstallCallbacks();

int CC_PANEL(int panel, int event, void* callbackData, int eventData1, int eventData2);
int CC_POPUP(int panel, int event, void* callbackData, int eventData1, int eventData2);

}  // namespace kervano
