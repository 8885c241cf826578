#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One task for the system's scheduler, described before it is registered: a
// program started with its arguments in a working folder, daily or weekly at a time
// of day, or when the user logs on. Registering replaces whatever task of that name
// exists, in whichever form (systemd timer, autostart entry, crontab line): the new
// form is written first and the others removed only once it stands, so a failed
// registration keeps the previous task. Arguments travel as a list and each form
// quotes them for itself; none of them is ever read by a shell.
class CSystemTask
{
public:
    enum Frequency : int
    {
        kOnce = 1,
        kDaily = 2,
        kWeekly = 3,
        kMonthly = 4,
        kAtLogOn = 5
    };
    // Result codes.
    static constexpr int kSuccess = 0;
    static constexpr int kFailed = static_cast<int>(0x80004005u);
    static constexpr int kExists = static_cast<int>(0x80070050u);

    int m_nHour = 0;
    int m_nMinute = 0;
    int m_nFrequency = kDaily;
    // Weekly: bit 0 = Sunday ... bit 6 = Saturday (the first set bit is used).
    std::uint16_t m_wWeekDays = 0;
    std::string m_strProgram;
    std::vector<std::string> m_Arguments;
    std::string m_strWorkingFolder;
    std::string m_strComment;
    bool m_bNoBattery = false;

    int Register(const std::string& name, bool failIfExists) const;
    static bool Exists(const std::string& name);
    static int Remove(const std::string& name);
    // The task of that name as it stands with the system (frequency, time of day,
    // weekday) and the kind of form that holds it; false when there is none.
    static bool Read(const std::string& name, CSystemTask& task, std::string& kind);

    // The weekdays' names for people, Sunday first as in m_wWeekDays.
    static constexpr const char* kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                 "Thursday", "Friday", "Saturday"};

    // The weekday (0 = Sunday) a weekly task runs on.
    int WeekDay() const;
    // When it runs, for people: "daily at 06:30", "weekly on Sunday at 21:05",
    // "at log-on".
    std::string When() const;
    // Tasks with a newline or other control character in a text could not be
    // written into any form whole.
    bool IsWritable() const;
};
