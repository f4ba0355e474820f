#include "scope/leds.h"

#include "resources/panel_handle.h"
#include "resources/panel_ids.h"

namespace kervano {

void setLEDs(int value) {
    const unsigned int state = static_cast<unsigned int>(value) & 0xFFFF;
    // The controller sends 0 to 7; anything else leaves both LEDs as they are.
    if (state > 7) return;
    const int led1 = (state & 0x3) != 0 ? 1 : 0;
    const int led2 = (state & 0x4) != 0 ? 1 : 0;
    SetCtrlVal(panelHandle, PANEL_LED1, led1);
    SetCtrlVal(panelHandle, PANEL_LED2, led2);
}

}  // namespace kervano
