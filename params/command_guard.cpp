#include "params/command_guard.h"

namespace kervano {

namespace {
CommandGuard guard = nullptr;
}

void SetCommandGuard(CommandGuard newGuard) {
    guard = newGuard;
}

bool CommandMayProceed(GuardedStep step) {
    return guard == nullptr || guard(step);
}

}  // namespace kervano
