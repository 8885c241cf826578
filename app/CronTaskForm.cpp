#include "CronTaskForm.h"

#include "FolderTools.h"
#include "Globals.h"
#include "PowerSupply.h"
#include "FileTools.h"
#include "SchedulerTools.h"
#include "SystemTask.h"
#include "TaskQuoting.h"

#include <unistd.h>

#include <cstdio>
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
    // cron cannot hold a run back on battery power: the program does (PowerSupply.h).
    if (task.m_bNoBattery)
        line += std::string(CPowerSupply::kOnlyOnMains) + "=1 ";
    std::vector<std::string> command{task.m_strProgram};
    command.insert(command.end(), task.m_Arguments.begin(), task.m_Arguments.end());
    return line + CTaskQuoting::Join(command, CTaskQuoting::Cron) + Tag(name);
}

CCronTaskForm::ReadResult CCronTaskForm::ReadOthers(const std::string& name, std::string& others,
                                                   bool& found)
{
    std::string table;
    found = false;
    const int status = CSchedulerTools::Crontab({"-l"}, table);
    if (status < 0)
        return ReadResult::kNoProgram;
    // Installing a table replaces the user's whole crontab: only a user who has none
    // may be taken as having an empty one.
    if (status != 0) {
        if (!HasNoTable())
            return ReadResult::kUnreadable;
        table.clear();
    }
    std::istringstream lines(table);
    for (std::string line; std::getline(lines, line);) {
        if (EndsWith(line, Tag(name)))
            found = true;
        else
            others += line + "\n";
    }
    return ReadResult::kRead;
}

// "crontab -l" fails both for a user without a table and for a table it cannot read;
// the first says "no crontab for USER".
bool CCronTaskForm::HasNoTable()
{
    std::string said;
    CSchedulerTools::Crontab({"-l"}, said, true);
    return said.find("no crontab for") != std::string::npos;
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
    return ReadOthers(name, others, found) == ReadResult::kRead &&
           Install(others + LineText(task, name) + "\n");
}

bool CCronTaskForm::Has(const std::string& name) const
{
    std::string others;
    bool found = false;
    return ReadOthers(name, others, found) == ReadResult::kRead && found;
}

bool CCronTaskForm::Remove(const std::string& name)
{
    std::string others;
    bool found = false;
    switch (ReadOthers(name, others, found)) {
    case ReadResult::kNoProgram:
        return true;
    case ReadResult::kUnreadable:
        return false;
    case ReadResult::kRead:
        break;
    }
    return !found || Install(others);
}

bool CCronTaskForm::Read(const std::string& name, CSystemTask& task) const
{
    std::string table;
    if (CSchedulerTools::Crontab({"-l"}, table) != 0)
        return false;
    std::istringstream lines(table);
    for (std::string line; std::getline(lines, line);) {
        if (!EndsWith(line, Tag(name)))
            continue;
        char day[4] = {};
        if (std::sscanf(line.c_str(), "%2d %2d * * %1[0-6*]", &task.m_nMinute, &task.m_nHour, day) != 3)
            return false;
        task.m_nFrequency = day[0] == '*' ? CSystemTask::kDaily : CSystemTask::kWeekly;
        if (day[0] != '*')
            task.m_wWeekDays = static_cast<std::uint16_t>(1u << (day[0] - '0'));
        return true;
    }
    return false;
}
