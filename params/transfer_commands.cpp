#include "params/transfer_commands.h"

#include "console/startup.h"
#include "link/frame.h"
#include "link/packet.h"
#include "link/port_setup.h"
#include "link/transactions.h"
#include "params/panel_binding.h"
#include "params/param_file.h"
#include "params/param_set.h"
#include "platform/serial/rs232.h"
#include "resources/panel_ids.h"

namespace kervano {

namespace {
constexpr double kFrameGap = 0.1;

// Lights the button of code and turns the other two off, in the order given.
void SelectTarget(int code, int lit, int off1, int off2) {
    SetCtrlVal(panelHandle, lit, 1);
    target = code;
    SetCtrlVal(panelHandle, off1, 0);
    SetCtrlVal(panelHandle, off2, 0);
}

void TargetButton(int control, int code, int off1, int off2) {
    int on = 0;
    GetCtrlVal(panelHandle, control, &on);
    if (on == 1) {
        SelectTarget(code, control, off1, off2);
    } else {
        target = RAM;
        SetCtrlVal(panelHandle, PANEL_RBTRAM, 1);
    }
}

void SendToFile() {
    if (AskForSaveFile() <= 0) return;
    if (SendParaToFile() != 1) ShowStatus("Cannot write parameter file - file unchanged!");
}

void SendToController() {
    sync = 85;
    order = target == EEPROM ? ORDER_WRITE_EEPROM : ORDER_WRITE_RAM;
    GetPanelValues();
    CopyVarsToPP(0);
    FillTxBuf(order, pp);
    nBytesW = WriteTxBuf(com);
    if (nBytesW == kFrameBytes) ShowStatus("Transmit para1 Ok!");
    Delay(kFrameGap);
    CopyVarsToPP(1);
    FillTxBuf(order, pp);
    nBytesW = WriteTxBuf(com);
    if (nBytesW == kFrameBytes) ShowStatus("Transmit para Ok!");
}
}  // namespace

int CC_RBTRam(int /*panel*/, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
              int /*eventData2*/) {
    if (event == EVENT_VAL_CHANGED) TargetButton(PANEL_RBTRAM, RAM, PANEL_RBTEEPROM, PANEL_RBTFILE);
    return 0;
}

int CC_RBTEeprom(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
                 int /*eventData1*/, int /*eventData2*/) {
    if (event == EVENT_VAL_CHANGED) {
        TargetButton(PANEL_RBTEEPROM, EEPROM, PANEL_RBTRAM, PANEL_RBTFILE);
    }
    return 0;
}

int CC_RBTFile(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
               int /*eventData1*/, int /*eventData2*/) {
    if (event == EVENT_VAL_CHANGED) {
        TargetButton(PANEL_RBTFILE, DATFILE, PANEL_RBTEEPROM, PANEL_RBTRAM);
    }
    return 0;
}

int CC_BTNSend(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
               int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_LEFT_CLICK) return 0;
    ShowStatus("Transmit...");
    if (target == DATFILE) {
        SendToFile();
    } else {
        SendToController();
    }
    return 0;
}

int CC_BTNGet(int /*panel*/, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
              int /*eventData2*/) {
    if (event == EVENT_LEFT_CLICK) {
        ShowStatus("Receive...");
    } else if (event == EVENT_COMMIT) {
        if (target == DATFILE) {
            ReadParaFromFile();
        } else {
            order = target == RAM ? ORDER_READ_RAM : ORDER_READ_EEPROM;
            PushGET(target, 0);
            PushGET(target, 1);
        }
        SetPanelValues();
    }
    return 0;
}

}  // namespace kervano
