#include "params/transfer_commands.h"

#include <string>

#include "link/frame.h"
#include "link/packet.h"
#include "link/port_setup.h"
#include "link/transactions.h"
#include "params/command_guard.h"
#include "params/journal_entry.h"
#include "params/known_values.h"
#include "params/panel_binding.h"
#include "params/param_file.h"
#include "params/param_set.h"
#include "params/param_state.h"
#include "platform/serial/serial_port.h"
#include "resources/panel_handle.h"
#include "resources/panel_ids.h"
#include "resources/status_line.h"

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

// Writes one packet of the set as a frame; true when all 36 bytes went out. A packet that
// went out whole is what the target now holds; any other leaves the target unknown.
bool SendPacket(int flag) {
    CopyVarsToPP(flag);
    FillTxBuf(order, pp);
    JournalPacketSent(pp);
    nBytesW = WriteTxBuf(com);
    if (nBytesW == kFrameBytes) {
        RecordPacket(target, flag, pp);
        return true;
    }
    if (nBytesW > 0) ForgetMemory(target);
    return false;
}

std::string MemoryName(int code) {
    return code == EEPROM ? "EEPROM" : "RAM";
}

// Nothing was done: the status line must not keep "Transmit..." or "Receive...".
void ShowCancelled(const char* what) {
    ShowStatus((std::string(what) + " cancelled - panel unchanged").c_str());
}

}  // namespace

int SendParaToController() {
    const JournalEntry journal(target == EEPROM ? "Send to EEPROM" : "Send to RAM");
    sync = 85;
    order = target == EEPROM ? ORDER_WRITE_EEPROM : ORDER_WRITE_RAM;
    const bool fullSent = SendPacket(0);
    const int firstCount = nBytesW;
    if (fullSent) ShowStatus("Transmit para1 Ok!");
    Delay(kFrameGap);
    const bool shortSent = SendPacket(1);
    if (fullSent && shortSent) {
        ShowStatus("Transmit para Ok!");
        ShowStatus(("Parameters sent to " + MemoryName(target)).c_str());
        return 1;
    }
    // Never a success text for a set that did not go out whole.
    SetWriteFailureText(fullSent ? nBytesW : firstCount, "parameters not sent!");
    ShowStatus();
    return 0;
}

bool SaveParameterFile() {
    ShowStatus("Transmit...");
    const int chosen = AskForSaveFile();
    if (chosen < 0) ShowStatus("File selection error - nothing saved!");
    if (chosen == 0) ShowStatus("Saving cancelled - nothing saved");
    if (chosen <= 0) return false;
    if (SendParaToFile() != 1) {
        ShowStatus("Cannot write parameter file - file unchanged!");
        return false;
    }
    ShowStatus((std::string("Parameters saved to ") + file_name).c_str());
    return true;
}

void LoadParameterFile() {
    if (!CommandMayProceed(GUARD_DISCARD_UNSENT)) return ShowCancelled("Loading");
    ShowStatus("Receive...");
    // Nothing loaded (a cancelled dialog, an unreadable file): the panel keeps the
    // operator's edits.
    const int loaded = ReadParaFromFile();
    if (loaded != 1) {
        if (StatusLineShows("Receive...")) ShowCancelled("Loading");
        return;
    }
    SetPanelValues();
    ShowStatus((std::string("Parameters loaded from ") + file_name).c_str());
}

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
    // The mouse press only announces the transfer; the commit, which the mouse release and
    // the keyboard both give, carries it out, as for Get.
    if (event == EVENT_LEFT_CLICK) {
        ShowStatus("Transmit...");
    } else if (event == EVENT_COMMIT) {
        if (target == DATFILE) {
            SaveParameterFile();
        } else if (target == EEPROM && !CommandMayProceed(GUARD_EEPROM_WRITE)) {
            ShowStatus("Send to EEPROM cancelled - nothing sent");
        } else {
            ShowStatus("Transmit...");
            SetParameterNote("");
            GetPanelValues();
            SendParaToController();
        }
    }
    return 0;
}

int CC_BTNGet(int /*panel*/, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
              int /*eventData2*/) {
    if (event == EVENT_LEFT_CLICK) {
        ShowStatus("Receive...");
    } else if (event == EVENT_COMMIT) {
        if (target == DATFILE) {
            LoadParameterFile();
            return 0;
        }
        if (!CommandMayProceed(GUARD_DISCARD_UNSENT)) {
            ShowCancelled("Get");
            return 0;
        }
        SetParameterNote("");
        const int setRead = ReadParameterSet(target);
        SetPanelValues();
        // A later success must not hide an earlier time-out.
        if (setRead != 1) {
            ShowStatus(kParametersNotReadText);
        } else {
            ShowStatus(("Parameters read from " + MemoryName(target)).c_str());
        }
    }
    return 0;
}

}  // namespace kervano
