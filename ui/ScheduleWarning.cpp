#include "ScheduleWarning.h"

#include "Prompt.h"
#include "ScheduleRecord.h"
#include "UiDialogs.h"

bool CScheduleWarning::ConfirmJobLoss(QWidget* parent, const std::string& jobName)
{
    CScheduleRecord schedule;
    schedule.LoadSchedule();
    if (jobName.empty() || schedule.m_strJobName != jobName || !schedule.TaskExists())
        return true;
    return CUiDialogs::MessageBox(parent,
                                  "The scheduled backup runs the job \"" + jobName +
                                      "\". After this change the schedule will no longer run it.",
                                  MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}
