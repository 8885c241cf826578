#pragma once

#include <string>

class QWidget;

// Before the job the schedule runs is renamed or deleted: the schedule names the job,
// so it would no longer run it. True when the user goes on (or no schedule runs it).
class CScheduleWarning
{
public:
    static bool ConfirmJobLoss(QWidget* parent, const std::string& jobName);
};
