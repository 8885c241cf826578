#include "CronTaskForm.h"

#include "FolderTools.h"
#include "Globals.h"
#include "FileTools.h"
#include "SchedulerTools.h"
#include "SystemTask.h"
#include "TaskQuoting.h"

#include <unistd.h>

#include <sstream>

namespace {

std::string Tag(const std::string& name)
{
    return " # " + name;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

std::string CCronTaskForm::LineText(const CSystemTask& task, const std::string& name)
{
    std::string line = std::to_string(task.m_nMinute) + " " + std::to_string(task.m_nHour) + " * * " +
                       (task.m_nFrequency == CSystemTask::kWeekly ? std::to_string(task.WeekDay()) : "*") +
                       " ";
    if (!task.m_strWorkingFolder.empty())
        line += "cd " + CTaskQuoting::Cron(task.m_strWorkingFolder) + " && ";
    for (const auto& [variable, value] : CSchedulerTools::RunEnvironment())
        line += variable + "=" + CTaskQuoting::Cron(value) + " ";
    std::vector<std::string> command{task.m_strProgram};
    command.insert(command.end(), task.m_Arguments.begin(), task.m_Arguments.end());
    return line + CTaskQuoting::Join(command, CTaskQuoting::Cron) + Tag(name);
}

bool CCronTaskForm::ReadOthers(const std::string& name, std::string& others, bool& found)
{
    std::string table;
    // "crontab -l" fails when the user has no crontab yet: an empty one.
    if (CSchedulerTools::Crontab({"-l"}, table) < 0)
        return false;
    std::istringstream lines(table);
    found = false;
    for (std::string line; std::getline(lines, line);) {
        if (EndsWith(line, Tag(name)))
            found = true;
        else
            others += line + "\n";
    }
    return true;
}

bool CCronTaskForm::Install(const std::string& table)
{
    const std::string folder = tbm::CreateTempFolder({});
    if (folder.empty())
        return false;
    const std::string file = folder + "/crontab";
    std::string ignored;
    const bool ok = tbm::WriteTextFile(file, table) && CSchedulerTools::Crontab({file}, ignored) == 0;
    ::unlink(file.c_str());
    ::rmdir(folder.c_str());
    return ok;
}

bool CCronTaskForm::Write(const CSystemTask& task, const std::string& name)
{
    std::string others;
    bool found = false;
    return ReadOthers(name, others, found) && Install(others + LineText(task, name) + "\n");
}

bool CCronTaskForm::Has(const std::string& name) const
{
    std::string others;
    bool found = false;
    return ReadOthers(name, others, found) && found;
}

bool CCronTaskForm::Remove(const std::string& name)
{
    std::string others;
    bool found = false;
    // No crontab program: no line of ours either.
    if (!ReadOthers(name, others, found))
        return true;
    return !found || Install(others);
}
