#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CSystemTask;

// The schedule: which saved job runs when, with which switches. The values the
// schedule wizard shows again live in the "Schedule" key; the task itself lives
// with the system's scheduler (CSystemTask) and is the only copy of the frequency
// and the time of day.
class CScheduleRecord
{
public:
    static constexpr const char* kKey = "SOFTWARE\\Tovan-Soft\\TBManager\\Schedule";
    static constexpr const char* kTaskName = "TBManager_SC";
    enum Frequency : std::int32_t
    {
        kDaily = 0,
        kWeekly = 1,
        kAtLogOn = 2
    };

    // Mode, type, weekday and the five options back to their initial values (the
    // frequency is kept), the texts emptied.
    void Reset();
    // Reads the key's values when the key exists; a value that is missing or out of
    // range leaves (or clamps) its field.
    void LoadSchedule();
    bool SaveSchedule() const;

    // "-e -job "NAME" " and the switches of the options, each followed by a blank.
    std::string BuildCommandLine() const;
    // The same as the program receives it: one word per argument, the name in its
    // quotes (so a name that begins with "-" is no switch).
    std::vector<std::string> BuildArguments() const;
    // The task for the system's scheduler (program and folder from the program's
    // own location) and its registration under kTaskName, replacing the old one.
    CSystemTask MakeTask() const;
    bool CreateTask() const;
    bool TaskExists() const;
    bool DeleteTask() const;

    std::int32_t m_nMode = 0;
    std::int32_t m_nType = 0;
    std::int32_t m_nFrequency = kDaily;
    std::int32_t m_nWeekDay = 1;
    int m_nHour = 1;
    int m_nMinute = 0;
    std::string m_strJobName;
    std::int32_t m_nNoBattery = 0;    // "SC_A1"
    std::int32_t m_nShowReport = 0;   // "SC_A2"
    std::int32_t m_nValidate = 1;     // "SC_A3"
    std::int32_t m_nOptionFour = 0;   // "SC_A4": kept only
    std::int32_t m_nExitWhenDone = 1; // "SC_A5"
};

// The one schedule of the process.
extern CScheduleRecord g_ScheduleRecord;
