#include "SystemdTaskForm.h"

#include "FileTools.h"
#include "SchedulerTools.h"
#include "SystemTask.h"
#include "TaskQuoting.h"
#include "XdgFolders.h"

#include <unistd.h>

#include <cstdio>

namespace {

const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

bool Exists(const std::string& path)
{
    return ::access(path.c_str(), F_OK) == 0;
}

// Puts a file back as it was: its old text, or no file when there was none.
void Restore(const std::string& path, const std::string& text, bool existed)
{
    if (existed)
        tbm::WriteWholeFile(path, text);
    else
        ::unlink(path.c_str());
}

} // namespace

bool CSystemdTaskForm::IsAvailable()
{
    return CSchedulerTools::Systemctl({"show-environment"}) == 0;
}

std::string CSystemdTaskForm::Folder()
{
    return CXdgFolders::ConfigHome() + "/systemd/user";
}

std::string CSystemdTaskForm::ServiceText(const CSystemTask& task, const std::string& name)
{
    std::string text = "[Unit]\nDescription=Tovan Backup Manager scheduled job " + name + "\n";
    if (task.m_bNoBattery)
        text += "ConditionACPower=true\n";
    text += "\n[Service]\nType=simple\n";
    if (!task.m_strWorkingFolder.empty())
        text += "WorkingDirectory=" + CTaskQuoting::SystemdValue(task.m_strWorkingFolder) + "\n";
    for (const auto& [variable, value] : CSchedulerTools::RunEnvironment())
        text += "Environment=" + CTaskQuoting::Systemd(variable + "=" + value) + "\n";
    std::vector<std::string> command{task.m_strProgram};
    command.insert(command.end(), task.m_Arguments.begin(), task.m_Arguments.end());
    return text + "ExecStart=" + CTaskQuoting::Join(command, CTaskQuoting::Systemd) + "\n";
}

std::string CSystemdTaskForm::TimerText(const CSystemTask& task, const std::string& name)
{
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:00", task.m_nHour, task.m_nMinute);
    std::string calendar = std::string("*-*-* ") + time;
    if (task.m_nFrequency == CSystemTask::kWeekly)
        calendar = std::string(kDays[task.WeekDay()]) + " " + calendar;
    return "[Unit]\nDescription=Tovan Backup Manager schedule " + name + "\n\n[Timer]\nOnCalendar=" +
           calendar + "\nPersistent=true\nUnit=" + name +
           ".service\n\n[Install]\nWantedBy=timers.target\n";
}

bool CSystemdTaskForm::Write(const CSystemTask& task, const std::string& name)
{
    const std::string service = Folder() + "/" + name + ".service";
    const std::string timer = Folder() + "/" + name + ".timer";
    const bool hadService = Exists(service);
    const bool hadTimer = Exists(timer);
    const std::string oldService = CSchedulerTools::ReadText(service);
    const std::string oldTimer = CSchedulerTools::ReadText(timer);
    if (tbm::WriteWholeFile(service, ServiceText(task, name)) &&
        tbm::WriteWholeFile(timer, TimerText(task, name)) && Activate(name))
        return true;
    Restore(service, oldService, hadService);
    Restore(timer, oldTimer, hadTimer);
    CSchedulerTools::Systemctl({"daemon-reload"});
    return false;
}

bool CSystemdTaskForm::Activate(const std::string& name)
{
    return CSchedulerTools::Systemctl({"daemon-reload"}) == 0 &&
           CSchedulerTools::Systemctl({"enable", "--now", name + ".timer"}) == 0;
}

bool CSystemdTaskForm::Has(const std::string& name) const
{
    return Exists(Folder() + "/" + name + ".timer") || Exists(Folder() + "/" + name + ".service");
}

bool CSystemdTaskForm::Remove(const std::string& name)
{
    if (!Has(name))
        return true;
    CSchedulerTools::Systemctl({"disable", "--now", name + ".timer"});
    ::unlink((Folder() + "/" + name + ".timer").c_str());
    ::unlink((Folder() + "/" + name + ".service").c_str());
    CSchedulerTools::Systemctl({"daemon-reload"});
    return !Has(name);
}

bool CSystemdTaskForm::Read(const std::string& name, CSystemTask& task) const
{
    const std::string timer = CSchedulerTools::ReadText(Folder() + "/" + name + ".timer");
    const std::string key = "\nOnCalendar=";
    const std::size_t at = timer.find(key);
    if (at == std::string::npos)
        return false;
    std::string calendar = timer.substr(at + key.size(), timer.find('\n', at + key.size()) - at - key.size());
    task.m_nFrequency = CSystemTask::kDaily;
    for (int day = 0; day < 7; ++day) {
        if (calendar.rfind(std::string(kDays[day]) + " ", 0) == 0) {
            task.m_nFrequency = CSystemTask::kWeekly;
            task.m_wWeekDays = static_cast<std::uint16_t>(1u << day);
            calendar.erase(0, 4);
        }
    }
    return std::sscanf(calendar.c_str(), "*-*-* %2d:%2d", &task.m_nHour, &task.m_nMinute) == 2;
}
