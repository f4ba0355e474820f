// Teach and Reset: one acknowledged frame, then the full packet read back from RAM.
#include <algorithm>
#include <string>

#include "console/commands.h"
#include "console/startup.h"
#include "link/frame.h"
#include "link/link_state.h"
#include "link/packet.h"
#include "link/port_setup.h"
#include "link/transactions.h"
#include "params/command_guard.h"
#include "params/journal_entry.h"
#include "params/known_values.h"
#include "params/panel_binding.h"
#include "params/param_set.h"
#include "params/param_state.h"
#include "params/param_table.h"
#include "platform/serial/serial_port.h"
#include "resources/panel_ids.h"
#include "resources/status_line.h"

namespace kervano {

namespace {
constexpr double kAckTimeout = 1.5;

// After the command: the panel shows what the controller now holds, and the Parameters
// frame's line says what changed, so the next Send cannot quietly undo the command.
void ShowOutcome(bool teach, bool acknowledged, bool reread, const unsigned short* before) {
    const char* command = teach ? "Teach" : "Reset";
    if (!acknowledged || !reread) {
        // Whether the controller acted, or what it holds now, is not known.
        if (teach || !acknowledged) ForgetMemory(RAM);
        std::string note = command;
        note += " sent - reread failed: the panel may no longer match the controller";
        SetParameterNote(note);
        return;
    }
    unsigned short after[kParameterCount];
    std::copy(before, before + kParameterCount, after);
    for (int p = 0; p < kParameterCount; ++p) KnownParameter(knownRam, p, &after[p]);
    WritePanelFields(after);
    NotePanelSetByProgram();
    const std::string changes = DescribeChanges(before, after);
    if (teach) {
        SetParameterNote("Taught: " + (changes.empty() ? "references unchanged" : changes));
    } else {
        SetParameterNote("Reset: RAM = EEPROM set" + (changes.empty() ? "" : "; " + changes));
    }
}

void AcknowledgedTransaction(int orderCode, bool teach) {
    const JournalEntry journal(teach ? "Teach" : "Reset");
    unsigned short before[kParameterCount];
    ReadPanelFields(before);
    FlushQueues(com);
    order = orderCode;
    GetPanelValues();
    CopyVarsToPP(0);
    FillTxBuf(orderCode, pp);
    JournalPacketSent(pp);
    rx_flag = 0;
    nBytesW = WriteTxBuf(com);
    if (nBytesW != kFrameBytes) {
        // The frame did not go out whole: nothing can acknowledge it, and no success text
        // may suggest otherwise.
        SetWriteFailureText(nBytesW, teach ? "Teach not sent!" : "Reset not sent!");
        ShowStatus();
        // A cut frame may still have reached the controller.
        if (nBytesW > 0) ForgetMemory(RAM);
        return;
    }
    ShowStatus("Line Ok!");
    if (teach) ShowStatus("New setpoint value teached!");

    bool acknowledged = false;
    bool reread = false;
    tstart = Timer();
    for (;;) {
        if (rx_flag == 1) {
            acknowledged = true;
            // The controller copied its EEPROM into RAM.
            if (!teach) RecordRamFromEeprom();
            reread = PushGET(RAM, 0) == 1;
            break;
        }
        tdiff = Timer() - tstart;
        ProcessSystemEvents();
        if (!(tdiff < kAckTimeout)) break;
    }
    // PushGET's own wait leaves its elapsed time in tdiff, so this reports a parameter
    // read that timed out as well as a missing acknowledgement.
    if (tdiff > kAckTimeout) {
        ShowStatus("Timeout RS-232!!");
        LinkReplied(false);
    }
    ShowOutcome(teach, acknowledged, reread, before);
}
}  // namespace

int CC_ButtonTeach(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
                   int /*eventData1*/, int /*eventData2*/) {
    if (event == EVENT_LEFT_CLICK) {
        ShowStatus("Teach new Reference-Value ...");
    } else if (event == EVENT_COMMIT) {
        if (!CommandMayProceed(GUARD_TEACH)) {
            ShowStatus("Teach cancelled - nothing sent");
            return 0;
        }
        AcknowledgedTransaction(ORDER_TEACH, true);
    }
    return 0;
}

int CC_ButtonReset(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
                   int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT) return 0;
    if (!CommandMayProceed(GUARD_RESET)) {
        ShowStatus("Reset cancelled - nothing sent");
        return 0;
    }
    AcknowledgedTransaction(ORDER_RESET, false);
    return 0;
}

}  // namespace kervano
