#include "console/port_selector.h"

#include <string>
#include <vector>

#include "console/startup.h"
#include "link/port_setup.h"
#include "platform/serial/port_table.h"
#include "resources/panel_ids.h"

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
    SetCtrlVal(panelHandle, PANEL_DROPDCOM, com);
    listedLabels = labels;
}

bool RefreshPortSelector() {
    std::vector<std::string> labels;
    CurrentTable(labels);
    if (labels == listedLabels) return false;
    FillPortSelector();
    return true;
}

}  // namespace kervano
