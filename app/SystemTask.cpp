#include "SystemTask.h"

#include "AutostartTaskForm.h"
#include "CronTaskForm.h"
#include "SystemdTaskForm.h"
#include "WriteLog.h"

#include <cstdio>

namespace {

struct Forms
{
    CSystemdTaskForm systemd;
    CAutostartTaskForm autostart;
    CCronTaskForm cron;

    std::vector<CTaskForm*> All() { return {&systemd, &autostart, &cron}; }
};

bool HasControl(const std::string& text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    return false;
}

} // namespace

int CSystemTask::WeekDay() const
{
    for (int day = 0; day < 7; ++day)
        if (m_wWeekDays & (1u << day))
            return day;
    return 0;
}

std::string CSystemTask::When() const
{
    if (m_nFrequency == kAtLogOn)
        return "at log-on";
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d", m_nHour, m_nMinute);
    if (m_nFrequency == kWeekly)
        return std::string("weekly on ") + kDayNames[WeekDay()] + " at " + time;
    return std::string("daily at ") + time;
}

bool CSystemTask::IsWritable() const
{
    if (m_strProgram.empty() || HasControl(m_strProgram) || HasControl(m_strWorkingFolder))
        return false;
    for (const std::string& argument : m_Arguments)
        if (HasControl(argument))
            return false;
    return m_nHour >= 0 && m_nHour < 24 && m_nMinute >= 0 && m_nMinute < 60;
}

int CSystemTask::Register(const std::string& name, bool failIfExists) const
{
    if (name.empty() || HasControl(name) || name.find('/') != std::string::npos || !IsWritable())
        return kFailed;
    if (failIfExists && Exists(name))
        return kExists;
    Forms forms;
    CTaskForm* chosen = &forms.cron;
    if (m_nFrequency == kAtLogOn)
        chosen = &forms.autostart;
    else if (CSystemdTaskForm::IsAvailable())
        chosen = &forms.systemd;
    if (!chosen->Write(*this, name)) {
        WriteLog("Fail to register the scheduled task %s", name.c_str());
        return kFailed;
    }
    // Only now that the new form stands: one task, whatever form the old one had.
    for (CTaskForm* form : forms.All())
        if (form != chosen && !form->Remove(name))
            WriteLog("Fail to remove the old form of the scheduled task %s", name.c_str());
    return kSuccess;
}

bool CSystemTask::Exists(const std::string& name)
{
    Forms forms;
    for (CTaskForm* form : forms.All())
        if (form->Has(name))
            return true;
    return false;
}

bool CSystemTask::Read(const std::string& name, CSystemTask& task, std::string& kind)
{
    Forms forms;
    for (CTaskForm* form : forms.All()) {
        if (form->Read(name, task)) {
            kind = form->Kind();
            return true;
        }
    }
    return false;
}

int CSystemTask::Remove(const std::string& name)
{
    Forms forms;
    bool removed = true;
    for (CTaskForm* form : forms.All())
        removed = form->Remove(name) && removed;
    return removed ? kSuccess : kFailed;
}
