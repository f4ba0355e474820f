// Steps that lose what the operator typed or change what the controller keeps across
// power-off ask first. The question is the console's; without one (the headless modes)
// every step proceeds.
#pragma once

namespace kervano {

enum GuardedStep {
    GUARD_DISCARD_UNSENT,  // the panel's unsent changes are about to be replaced
    GUARD_EEPROM_WRITE,    // Send to EEPROM
    GUARD_TEACH,
    GUARD_RESET,
};

using CommandGuard = bool (*)(GuardedStep step);
void SetCommandGuard(CommandGuard guard);
// True when the step may go ahead (asked and confirmed, or nothing to ask).
bool CommandMayProceed(GuardedStep step);

}  // namespace kervano
