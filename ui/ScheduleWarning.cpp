#include "ScheduleWarning.h"

#include "ProjectData.h"
#include "Prompt.h"
#include "ScheduleRecord.h"
#include "UiDialogs.h"

bool CScheduleWarning::ConfirmJobLoss(QWidget* parent, const std::string& jobName)
{
    CScheduleRecord schedule;
    schedule.LoadSchedule();
    // A new job that merely carries the name of a scheduled job deleted earlier is
    // not what the schedule runs.
    if (jobName.empty() || schedule.m_strJobName != jobName || !g_ProjectData.IsSavedJob(jobName) ||
        !schedule.TaskExists())
        return true;
    return CUiDialogs::MessageBox(parent,
                                  "The scheduled backup runs the job \"" + jobName +
                                      "\". After this change the schedule will no longer run it: "
                                      "its runs fail until another job is chosen for it "
                                      "(File > Schedule...).",
                                  MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}
