#include "params/panel_binding.h"

#include "console/startup.h"
#include "params/param_set.h"
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
}

}  // namespace kervano
