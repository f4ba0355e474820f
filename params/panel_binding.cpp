#include "params/panel_binding.h"

#include "params/param_set.h"
#include "params/param_state.h"
#include "params/param_table.h"
#include "platform/ui/ui_service.h"
#include "resources/panel_handle.h"
#include "resources/panel_ids.h"

namespace kervano {

namespace {
struct Binding {
    int control;
    unsigned short* variable;
};
// Walked in this order by both directions.
const Binding kBindings[] = {
    {PANEL_POWERTOP, &powerTOP}, {PANEL_POWERBOT, &powerBOT}, {PANEL_POWERDIG, &powerDIG},
    {PANEL_REFTOP, &refTOP},     {PANEL_REFBOT, &refBOT},     {PANEL_TOLTOP, &tolTOP},
    {PANEL_TOLBOT, &tolBOT},     {PANEL_TRIGTOP, &trigTOP},   {PANEL_TRIGBOT, &trigBOT},
    {PANEL_HWMODE, &hwmode},     {PANEL_MAXMODE, &maxmode},   {PANEL_HYSTTOP, &hystTOP},
    {PANEL_HYSTBOT, &hystBOT},   {PANEL_EVALMODE, &evalmode}, {PANEL_POLARITY, &polarity},
    {PANEL_HOLD, &hold},         {PANEL_DIGCNT, &digcnt},     {PANEL_DIGMODE, &digmode},
};
}  // namespace

void GetPanelValues() {
    for (const Binding& b : kBindings) GetCtrlVal(panelHandle, b.control, b.variable);
}

void SetPanelValues() {
    for (const Binding& b : kBindings) {
        SetCtrlVal(panelHandle, b.control, static_cast<unsigned int>(*b.variable));
    }
    NotePanelSetByProgram();
}

int ParameterControl(int index) {
    if (index < 0 || index >= kParameterCount) return -1;
    for (const Binding& b : kBindings) {
        if (b.variable == kParameterTable[index].variable) return b.control;
    }
    return -1;
}

void ReadPanelFields(unsigned short* values) {
    for (int p = 0; p < kParameterCount; ++p) {
        values[p] = *kParameterTable[p].variable;
        GetCtrlVal(panelHandle, ParameterControl(p), &values[p]);
    }
}

void WritePanelFields(const unsigned short* values) {
    for (int p = 0; p < kParameterCount; ++p) {
        SetCtrlVal(panelHandle, ParameterControl(p), static_cast<unsigned int>(values[p]));
    }
}

void ShowTarget() {
    for (int code : {RAM, EEPROM, DATFILE}) {
        const int control = code == EEPROM    ? PANEL_RBTEEPROM
                            : code == DATFILE ? PANEL_RBTFILE
                                              : PANEL_RBTRAM;
        SetCtrlVal(panelHandle, control, code == target ? 1 : 0);
    }
}

}  // namespace kervano
