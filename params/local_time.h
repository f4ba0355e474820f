// Local time as the tool writes it in its files and reports: ISO 8601 with the offset.
#pragma once

#include <ctime>
#include <string>

namespace kervano {

// "2025-03-01T14:05:09+01:00"
std::string Iso8601LocalTime(std::time_t time);

}  // namespace kervano
