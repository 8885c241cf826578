#pragma once

#include <ctime>
#include <functional>
#include <string>

// The engine's clock: the system's, unless a test set another. Dates and times of
// jobs are formatted in the C locale from the local time.
class CEngineClock
{
public:
    static std::time_t Now();
    // Installs a clock; an empty function restores the system's.
    static void Set(std::function<std::time_t()> clock);

    // "%m/%d/%Y" and "%I:%M %p" of a moment in local time.
    static std::string FormatDate(std::time_t when);
    static std::string FormatTime(std::time_t when);
};
