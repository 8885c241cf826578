#include "ScheduleRecord.h"

#include "Globals.h"
#include "Registry.h"
#include "SystemTask.h"

#include <algorithm>

CScheduleRecord g_ScheduleRecord;

void CScheduleRecord::Reset()
{
    const std::int32_t frequency = m_nFrequency;
    *this = CScheduleRecord();
    m_nFrequency = frequency;
}

void CScheduleRecord::LoadSchedule()
{
    CRegistry reg(HKEY_CURRENT_USER);
    if (!reg.Open(HKEY_CURRENT_USER, kKey, KEY_READ))
        return;
    reg.Read("SC_BMode", m_nMode);
    reg.Read("SC_BType", m_nType);
    if (reg.Read("SC_BWeekDay", m_nWeekDay))
        m_nWeekDay = std::clamp(m_nWeekDay, 0, 6);
    reg.Read("SC_JOB", m_strJobName);
    reg.Read("SC_A1", m_nNoBattery);
    reg.Read("SC_A2", m_nShowReport);
    reg.Read("SC_A3", m_nValidate);
    reg.Read("SC_A4", m_nOptionFour);
    reg.Read("SC_A5", m_nExitWhenDone);
}

bool CScheduleRecord::SaveSchedule() const
{
    CRegistry reg(HKEY_CURRENT_USER);
    if (!reg.CreateKey(HKEY_CURRENT_USER, kKey))
        return false;
    bool ok = reg.Write("SC_BMode", m_nMode);
    ok = reg.Write("SC_BType", m_nType) && ok;
    ok = reg.Write("SC_BWeekDay", m_nWeekDay) && ok;
    ok = reg.Write("SC_JOB", m_strJobName) && ok;
    ok = reg.Write("SC_A1", m_nNoBattery) && ok;
    ok = reg.Write("SC_A2", m_nShowReport) && ok;
    ok = reg.Write("SC_A3", m_nValidate) && ok;
    ok = reg.Write("SC_A4", m_nOptionFour) && ok;
    return reg.Write("SC_A5", m_nExitWhenDone) && ok;
}

std::vector<std::string> CScheduleRecord::BuildArguments() const
{
    std::vector<std::string> arguments{"-e", "-job", "\"" + m_strJobName + "\""};
    if (m_nShowReport)
        arguments.push_back("-showlogfile");
    if (!m_nValidate)
        arguments.push_back("-novalidate");
    if (!m_nExitWhenDone)
        arguments.push_back("-noexit");
    return arguments;
}

std::string CScheduleRecord::BuildCommandLine() const
{
    std::string line;
    for (const std::string& argument : BuildArguments())
        line += argument + " ";
    return line;
}

CSystemTask CScheduleRecord::MakeTask() const
{
    CSystemTask task;
    task.m_strProgram = g_Globals.GetProgramPath("TBManager");
    task.m_strWorkingFolder = g_Globals.GetProgramFolder();
    task.m_Arguments = BuildArguments();
    task.m_nHour = m_nHour;
    task.m_nMinute = m_nMinute;
    task.m_nFrequency = m_nFrequency == kWeekly   ? CSystemTask::kWeekly
                        : m_nFrequency == kAtLogOn ? CSystemTask::kAtLogOn
                                                   : CSystemTask::kDaily;
    task.m_wWeekDays = static_cast<std::uint16_t>(1u << std::clamp(m_nWeekDay, 0, 6));
    task.m_bNoBattery = m_nNoBattery != 0;
    return task;
}

bool CScheduleRecord::CreateTask() const
{
    return MakeTask().Register(kTaskName, false) == CSystemTask::kSuccess;
}

bool CScheduleRecord::TaskExists() const
{
    return CSystemTask::Exists(kTaskName);
}

bool CScheduleRecord::DeleteTask() const
{
    return CSystemTask::Remove(kTaskName) == CSystemTask::kSuccess;
}
