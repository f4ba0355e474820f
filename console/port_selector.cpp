#include "console/port_selector.h"

#include <QInputDialog>
#include <string>
#include <vector>

#include "console/settings.h"
#include "console/startup.h"
#include "link/port_setup.h"
#include "platform/serial/network_address.h"
#include "platform/serial/port_table.h"
#include "platform/ui/qt_panel_access.h"
#include "resources/panel_ids.h"
#include "resources/status_line.h"

namespace kervano {

namespace {
std::vector<std::string> listedLabels;

std::vector<PortEntry> CurrentTable(std::vector<std::string>& labels) {
    std::vector<PortEntry> table = PortTableList();
    labels.clear();
    for (const PortEntry& entry : table) labels.push_back(PortTableLabel(entry));
    return table;
}
}  // namespace

void FillPortSelector() {
    std::vector<std::string> labels;
    const std::vector<PortEntry> table = CurrentTable(labels);
    ClearListCtrl(panelHandle, PANEL_DROPDCOM);
    bool listsPortInUse = false;
    for (size_t i = 0; i < table.size(); ++i) {
        InsertListItem(panelHandle, PANEL_DROPDCOM, -1, labels[i].c_str(), table[i].number);
        listsPortInUse = listsPortInUse || table[i].number == com;
    }
    if (!listsPortInUse) {
        const std::string label = "COM" + std::to_string(com) + "  (no device)";
        InsertListItem(panelHandle, PANEL_DROPDCOM, -1, label.c_str(), com);
    }
    InsertListItem(panelHandle, PANEL_DROPDCOM, -1, "Add network port...", kAddNetworkPortItem);
    SetCtrlVal(panelHandle, PANEL_DROPDCOM, com);
    listedLabels = labels;
}

int AskNetworkPort() {
    bool ok = false;
    const std::string address =
        QInputDialog::getText(PanelWidget(panelHandle), QStringLiteral("Add network port"),
                              QStringLiteral("Address (tcp://HOST:PORT or rfc2217://HOST:PORT):"),
                              QLineEdit::Normal, QStringLiteral("rfc2217://"), &ok)
            .trimmed()
            .toStdString();
    if (!ok) return 0;
    NetworkAddress parsed;
    std::string why;
    const int number =
        ParseNetworkAddress(address, parsed, &why) ? PortTablePinAddress(address) : 0;
    if (number == 0) {
        ShowStatus(
            ("Network port not added: " + (why.empty() ? "no COM number free" : why)).c_str());
        return 0;
    }
    RememberNetworkPort(address);
    FillPortSelector();
    return number;
}

bool RefreshPortSelector() {
    std::vector<std::string> labels;
    CurrentTable(labels);
    if (labels == listedLabels) return false;
    FillPortSelector();
    return true;
}

}  // namespace kervano
