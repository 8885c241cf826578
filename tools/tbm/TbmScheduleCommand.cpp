#include "TbmScheduleCommand.h"

#include "TbmExitCodes.h"
#include "TbmOptions.h"

#include "ProjectData.h"
#include "ScheduleRecord.h"
#include "SystemTask.h"

#include <cstdio>

int CTbmScheduleCommand::Run(const CTbmOptions& options, std::ostream& out)
{
    const std::string& action = options.m_Schedule.action;
    if (action == "show")
        return Show(out);
    if (action == "set")
        return Set(options, out);
    if (!g_ScheduleRecord.DeleteTask()) {
        std::fputs("tbm: the scheduled task could not be removed\n", stderr);
        return tbmexit::kFailed;
    }
    out << "The scheduled job is removed.\n";
    return tbmexit::kSuccess;
}

// The schedule as the user set it: the key's job and options, and the frequency and
// time of day from the installed task, their only copy.
int CTbmScheduleCommand::Show(std::ostream& out)
{
    CScheduleRecord& record = g_ScheduleRecord;
    record.Reset();
    record.LoadSchedule();
    CSystemTask task;
    std::string kind;
    const bool installed = CSystemTask::Read(CScheduleRecord::kTaskName, task, kind);
    out << "Task:    " << CScheduleRecord::kTaskName << ", "
        << (installed ? kind : CSystemTask::Exists(CScheduleRecord::kTaskName) ? "unreadable" : "not installed")
        << "\n";
    out << "Runs:    " << (installed ? task.When() : "never (no task)") << "\n";
    if (record.m_strJobName.empty()) {
        out << "Job:     (none)\n";
        return tbmexit::kSuccess;
    }
    out << "Job:     " << record.m_strJobName << "\n";
    out << "Options: " << (record.m_nNoBattery ? "not on battery" : "also on battery")
        << (record.m_nValidate ? ", verify" : ", no verification")
        << (record.m_nShowReport ? ", show the report" : "")
        << (record.m_nExitWhenDone ? ", exit when done" : ", stay open") << "\n";
    out << "Command: TBManager " << record.BuildCommandLine() << "\n";
    return tbmexit::kSuccess;
}

int CTbmScheduleCommand::Set(const CTbmOptions& options, std::ostream& out)
{
    // A schedule for a job that is not saved would run nothing at its time.
    if (!g_ProjectData.IsSavedJob(options.m_strJob)) {
        std::fprintf(stderr, "tbm: there is no saved job '%s'\n", options.m_strJob.c_str());
        return tbmexit::kFailed;
    }
    const CTbmOptions::Schedule& wanted = options.m_Schedule;
    CScheduleRecord& record = g_ScheduleRecord;
    record.Reset();
    record.LoadSchedule();
    record.m_strJobName = options.m_strJob;
    record.m_nFrequency = wanted.frequency;
    record.m_nWeekDay = wanted.weekDay;
    record.m_nHour = wanted.hour;
    record.m_nMinute = wanted.minute;
    record.m_nNoBattery = wanted.noBattery ? 1 : 0;
    record.m_nShowReport = wanted.showReport ? 1 : 0;
    record.m_nValidate = wanted.validate ? 1 : 0;
    record.m_nExitWhenDone = wanted.exitWhenDone ? 1 : 0;
    record.SaveSchedule();
    if (!record.CreateTask()) {
        std::fputs("tbm: the scheduled task could not be registered; the old one is kept\n",
                   stderr);
        return tbmexit::kFailed;
    }
    out << "The job '" << record.m_strJobName << "' is scheduled.\n";
    return tbmexit::kSuccess;
}
