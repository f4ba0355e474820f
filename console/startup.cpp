#include "console/startup.h"

#include "console/commands.h"
#include "console/compare_command.h"
#include "console/export_commands.h"
#include "console/journal_window.h"
#include "console/line_figures_window.h"
#include "console/link_view.h"
#include "console/menus.h"
#include "console/open_capture.h"
#include "console/param_marks.h"
#include "console/param_questions.h"
#include "console/port_selector.h"
#include "console/recording_window.h"
#include "console/report_command.h"
#include "console/settings.h"
#include "console/traffic_pane.h"
#include "link/data_block.h"
#include "link/frame.h"
#include "link/port_setup.h"
#include "link/reply_filter.h"
#include "params/known_values.h"
#include "params/panel_binding.h"
#include "params/param_file.h"
#include "params/param_set.h"
#include "params/param_state.h"
#include "params/transfer_commands.h"
#include "platform/serial/serial_port.h"
#include "resources/panel_ids.h"
#include "resources/status_line.h"
#include "scope/chart_labels.h"
#include "scope/data_graphs.h"
#include "scope/last_capture.h"
#include "scope/monitor.h"
#include "scope/monitor_recording.h"

namespace kervano {

int panelPopUp = -1;
int stop_flag = 1;

namespace {
constexpr int kBannerColour = 0x0080FF;

void ClearCurves() {
    for (int i = 0; i < kXPositions; ++i) {
        xArray[i] = static_cast<unsigned short>(i + 1);
        yArrayA[i] = 0;
        yArrayB[i] = 0;
    }
    ForgetCapture();
}
}  // namespace

void ShowInfoText(const char* text, int left, int top, int pointSize) {
    const int banner = NewCtrl(panelHandle, CTRL_TEXT_MSG, "", top, left);
    SetCtrlAttribute(panelHandle, banner, ATTR_TEXT_FONT, "NIApp");
    SetCtrlAttribute(panelHandle, banner, ATTR_TEXT_COLOR, kBannerColour);
    SetCtrlAttribute(panelHandle, banner, ATTR_TEXT_BGCOLOR, VAL_WHITE);
    SetCtrlAttribute(panelHandle, banner, ATTR_TEXT_POINT_SIZE, pointSize);
    SetCtrlVal(panelHandle, banner, text);
}

void InitVars() {
    SetParameterDefaults();
    com = 1;
    sync = 85;
    order = 1;
    target = RAM;
    ShowTarget();
    rx_flag = 1;
    stop_flag = 1;
    SetStatusText("InitVars");

    ShowInfoText(kBannerText, 30, 19, 18);
    ShowStatus();

    SetCtrlAttribute(panelHandle, PANEL_GRAPHTOP, ATTR_NUM_CURSORS, 0);
    SetCtrlAttribute(panelHandle, PANEL_GRAPHBOT, ATTR_NUM_CURSORS, 0);
    SetCtrlAttribute(panelHandle, PANEL_GRAPHTOP, ATTR_VISIBLE, 0);
    SetCtrlAttribute(panelHandle, PANEL_GRAPHBOT, ATTR_VISIBLE, 0);
    LabelCharts();

    GetPanelValues();
    // Nothing is known of the controller until it is read.
    ForgetController();
    ForgetOrdersSent();
    ForgetMonitorRequest();
    SetParameterNote("");
    NotePanelSetByProgram(true);
    FillarrayRAW(0, 0, 0, 0);
    ClearCurves();
}

void InstallCallbacks() {
    struct CtrlCallback {
        int control;
        CtrlCallbackPtr callback;
    };
    const CtrlCallback callbacks[] = {
        {PANEL_BTNRUN, CC_BTNRun},           {PANEL_BTNSTOP, CC_BTNStop},
        {PANEL_BTNDATA, CC_BTNData},         {PANEL_BTNSEND, CC_BTNSend},
        {PANEL_BTNGET, CC_BTNGet},           {PANEL_BUTTONTEACH, CC_ButtonTeach},
        {PANEL_BUTTONRESET, CC_ButtonReset}, {PANEL_RBTRAM, CC_RBTRam},
        {PANEL_RBTEEPROM, CC_RBTEeprom},     {PANEL_RBTFILE, CC_RBTFile},
        {PANEL_DROPDCOM, CC_DropDCom},
    };
    for (const CtrlCallback& c : callbacks) {
        InstallCtrlCallback(panelHandle, c.control, c.callback, nullptr);
    }
    InstallPanelCallback(panelHandle, CC_PANEL, nullptr);
    InstallPanelCallback(panelPopUp, CC_POPUP, nullptr);
    InstallParameterMarks();
}

int WinMain(void* /*instance*/, void* /*previousInstance*/, char* /*commandLine*/,
            int /*showCommand*/) {
    SetResourceNames(kPanelResourceNames, kPanelResourceNameCount);
    panelHandle = LoadPanel(0, kPanelResourceFile, PANEL);
    if (panelHandle < 0) return -1;
    panelPopUp = LoadPanel(0, kPanelResourceFile, POPUP);
    if (panelPopUp < 0) return -1;
    InstallCallbacks();
    InstallPanelMenus();
    InstallParameterQuestions();
    InstallExportCommands();
    InstallReportCommand();
    InstallRecordingCommand();
    InstallTrafficMenu();
    InstallLineFiguresCommand();
    InstallCompareCommand();
    InstallJournalWindow();
    InstallCaptureCommands();
    InstallLinkViews();
    RestoreSettings();
    GetProjectDir(proj_dir);

    InitVars();
    FillPortSelector();  // lists the port InitVars chose, selected
    InitRS232(com);
    OpenCaptureAtStart();
    DisplayPanel(panelHandle);
    RestorePanes();
    RunUserInterface();
    CloseMonitorRecording();  // however the loop ended (the window, a signal): rows written
    SaveSettings();

    CloseCom(com);
    DiscardPanel(panelPopUp);
    DiscardPanel(panelHandle);
    return 0;
}

int CC_PANEL(int /*panel*/, int event, void* /*callbackData*/, int /*eventData1*/,
             int /*eventData2*/) {
    if (event == EVENT_CLOSE) {
        if (!MayCloseWithUnsentChanges()) return 0;
        stop_flag = 1;
        CloseCom(com);
        QuitUserInterface(0);
    }
    return 0;
}

int CC_POPUP(int /*panel*/, int /*event*/, void* /*callbackData*/, int /*eventData1*/,
             int /*eventData2*/) {
    return 0;
}

}  // namespace kervano
