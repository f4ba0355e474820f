// The table of loaded panels: handles, the widgets behind control constants, installed
// callbacks, and the object names registered with SetResourceNames.
#pragma once

#include <QPointer>
#include <QWidget>
#include <map>
#include <string>

#include "platform/ui/ui_service.h"

namespace kvui {

struct CtrlCallbackSlot {
    CtrlCallbackPtr fn = nullptr;
    void* data = nullptr;
};

struct PanelRecord {
    int handle = 0;
    int resourceId = 0;
    QPointer<QWidget> widget;
    std::map<int, QPointer<QWidget>> controls;
    std::map<int, CtrlCallbackSlot> ctrlCallbacks;
    PanelCallbackPtr panelCallback = nullptr;
    void* panelCallbackData = nullptr;
};

// Null when the handle is unknown, discarded, or its widget was destroyed.
PanelRecord* FindPanel(int handle);
QWidget* FindControl(int handle, int control);
// The control as a widget of type T; null when it is none or not of that type.
template <class T>
T* FindControlAs(int handle, int control) {
    return qobject_cast<T*>(FindControl(handle, control));
}
// Registers widget as a new panel and returns its record (handles are never reused).
PanelRecord& AddPanel(QWidget* widget, int resourceId);
void ForgetPanel(int handle);

// Object name registered for a constant; empty when none.
std::string ResourceName(int id);
const std::map<int, std::string>& ResourceNames();
// A constant no registered control uses, for controls created at run time.
int NewControlId();

// Program calls (SetCtrlVal and friends) run inside a ProgramChange, so the signals they
// cause are not taken for user actions.
class ProgramChange {
  public:
    ProgramChange();
    ~ProgramChange();
    ProgramChange(const ProgramChange&) = delete;
    ProgramChange& operator=(const ProgramChange&) = delete;
};
bool InProgramChange();

}  // namespace kvui
