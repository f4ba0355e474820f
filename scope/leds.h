// The two status LEDs, driven by the controller's input state word.
#pragma once

namespace kervano {

void setLEDs(int value);

}  // namespace kervano
