// Who holds a device that another program cannot have: the process whose lock on it the
// kernel lists, else one that has it open. Known on Linux only.
#pragma once

#include <string>

// "process 4242 (kervano-scope)", "process 4242" when its name cannot be read, or "" when
// no holder of device (a path, links resolved) is known.
std::string DeviceHolder(const std::string& device);
