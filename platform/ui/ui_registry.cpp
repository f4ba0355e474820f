#include "platform/ui/ui_registry.h"

#include <memory>

#include "platform/ui/qt_panel_access.h"

namespace kvui {
namespace {

std::map<int, std::unique_ptr<PanelRecord>>& Panels() {
    static std::map<int, std::unique_ptr<PanelRecord>> panels;
    return panels;
}

std::map<int, std::string>& Names() {
    static std::map<int, std::string> names;
    return names;
}

int g_nextHandle = 1;
int g_nextControlId = 10000;
int g_programChangeDepth = 0;

}  // namespace

PanelRecord* FindPanel(int handle) {
    auto it = Panels().find(handle);
    if (it == Panels().end() || it->second->widget.isNull()) return nullptr;
    return it->second.get();
}

QWidget* FindControl(int handle, int control) {
    PanelRecord* panel = FindPanel(handle);
    if (!panel) return nullptr;
    auto it = panel->controls.find(control);
    if (it == panel->controls.end()) return nullptr;
    return it->second.data();
}

PanelRecord& AddPanel(QWidget* widget, int resourceId) {
    auto record = std::make_unique<PanelRecord>();
    record->handle = g_nextHandle++;
    record->resourceId = resourceId;
    record->widget = widget;
    PanelRecord& ref = *record;
    Panels()[ref.handle] = std::move(record);
    return ref;
}

void ForgetPanel(int handle) {
    Panels().erase(handle);
}

std::string ResourceName(int id) {
    auto it = Names().find(id);
    return it == Names().end() ? std::string() : it->second;
}

const std::map<int, std::string>& ResourceNames() {
    return Names();
}

int NewControlId() {
    while (Names().count(g_nextControlId)) ++g_nextControlId;
    return g_nextControlId++;
}

ProgramChange::ProgramChange() {
    ++g_programChangeDepth;
}
ProgramChange::~ProgramChange() {
    --g_programChangeDepth;
}
bool InProgramChange() {
    return g_programChangeDepth > 0;
}

}  // namespace kvui

void SetResourceNames(const UiResourceName* names, int count) {
    auto& table = kvui::Names();
    table.clear();
    if (!names || count <= 0) return;
    for (int i = 0; i < count; ++i) {
        if (names[i].name) table[names[i].id] = names[i].name;
    }
}

QWidget* PanelWidget(int panel) {
    kvui::PanelRecord* record = kvui::FindPanel(panel);
    return record ? record->widget.data() : nullptr;
}

QWidget* CtrlWidget(int panel, int control) {
    return kvui::FindControl(panel, control);
}
