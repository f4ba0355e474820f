// Local time as the tool writes it in its files and reports: ISO 8601 with the offset.
#pragma once

#include <ctime>
#include <string>

namespace kervano {

// "2025-03-01T14:05:09+01:00"
std::string Iso8601LocalTime(std::time_t time);

// a / b rounded towards minus infinity, so times before the epoch split into whole seconds
// and a positive remainder.
constexpr long long FloorDiv(long long a, long long b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

}  // namespace kervano
