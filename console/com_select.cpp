// The COM selector: a change brings the link up again on the chosen port.
#include "console/commands.h"
#include "console/param_questions.h"
#include "console/port_selector.h"
#include "console/startup.h"
#include "link/link_state.h"
#include "link/port_setup.h"
#include "platform/serial/serial_port.h"
#include "resources/panel_ids.h"
#include "resources/status_line.h"

namespace kervano {

int CC_DropDCom(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
                int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT && event != EVENT_VAL_CHANGED) return 0;
    int chosen = com;
    GetCtrlVal(panelHandle, PANEL_DROPDCOM, &chosen);
    if (chosen == kAddNetworkPortItem) {
        // A choice comes as a change and then a commit: ask once, on the commit, so that
        // the port is set up once and a cancel sets nothing up.
        if (event != EVENT_COMMIT) return 0;
        chosen = AskNetworkPort();
        SetCtrlVal(panelHandle, PANEL_DROPDCOM, chosen == 0 ? com : chosen);
        if (chosen == 0) return 0;
    }
    // Port set-up puts what it reads on the panel, whichever port was chosen.
    if (!MayChangePort()) {
        SetCtrlVal(panelHandle, PANEL_DROPDCOM, com);
        ShowStatus("Port change cancelled - unsent changes kept");
        return 0;
    }
    CloseCom(com);
    LinkPortClosed();
    GetCtrlVal(panelHandle, PANEL_DROPDCOM, &com);
    ShowStatus("Init COM-Port ...");
    InitRS232(com);
    return 0;
}

}  // namespace kervano
