#include "params/local_time.h"

namespace kervano {

std::string Iso8601LocalTime(std::time_t time) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    char stamp[32] = "";
    char zone[8] = "";
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
    std::strftime(zone, sizeof zone, "%z", &local);  // +0100
    std::string offset = zone;
    if (offset.size() == 5) offset.insert(3, ":");
    return std::string(stamp) + offset;
}

}  // namespace kervano
