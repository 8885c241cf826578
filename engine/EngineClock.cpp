#include "EngineClock.h"

#include <mutex>

namespace {

std::mutex g_clockMutex;
std::function<std::time_t()> g_clock;

// strftime's %m %d %Y %I %M %p are locale-free but for %p, which is only "AM"/"PM"
// in the C locale; the fields are written by hand so no locale is ever consulted.
std::tm LocalTime(std::time_t when)
{
    std::tm parts{};
    localtime_r(&when, &parts);
    return parts;
}

std::string TwoDigits(int value)
{
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
           static_cast<char>('0' + value % 10);
}

} // namespace

std::time_t CEngineClock::Now()
{
    std::function<std::time_t()> clock;
    {
        std::lock_guard lock(g_clockMutex);
        clock = g_clock;
    }
    return clock ? clock() : std::time(nullptr);
}

void CEngineClock::Set(std::function<std::time_t()> clock)
{
    std::lock_guard lock(g_clockMutex);
    g_clock = std::move(clock);
}

std::string CEngineClock::FormatDate(std::time_t when)
{
    const std::tm parts = LocalTime(when);
    return TwoDigits(parts.tm_mon + 1) + "/" + TwoDigits(parts.tm_mday) + "/" +
           std::to_string(parts.tm_year + 1900);
}

std::string CEngineClock::FormatTime(std::time_t when)
{
    const std::tm parts = LocalTime(when);
    const int hour12 = parts.tm_hour % 12 == 0 ? 12 : parts.tm_hour % 12;
    return TwoDigits(hour12) + ":" + TwoDigits(parts.tm_min) + (parts.tm_hour < 12 ? " AM" : " PM");
}
