#include "console/port_selector.h"

#include "console/startup.h"
#include "platform/serial/port_table.h"
#include "resources/panel_ids.h"

namespace kervano {

void FillPortSelector() {
    ClearListCtrl(panelHandle, PANEL_DROPDCOM);
    bool haveCom1 = false;
    for (const PortEntry& entry : PortTableList()) {
        InsertListItem(panelHandle, PANEL_DROPDCOM, -1, PortTableLabel(entry).c_str(),
                       entry.number);
        haveCom1 = haveCom1 || entry.number == 1;
    }
    // Start-up always opens COM1; offer it even when no device stands behind it, so the
    // selector never shows a port other than the one in use.
    if (!haveCom1) {
        InsertListItem(panelHandle, PANEL_DROPDCOM, 0, "COM1  (no device)", 1);
    }
    SetCtrlVal(panelHandle, PANEL_DROPDCOM, 1);
}

}  // namespace kervano
