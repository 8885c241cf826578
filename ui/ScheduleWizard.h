#pragma once

#include <QDialog>

class CScheduleAccountPage;
class CScheduleFrequencyPage;
class CScheduleJobPage;
class CScheduleStartPage;
class CTvPropertiesPages;

// The schedule wizard: four pages on the page frame. Opening it resets the schedule
// (the frequency is kept) and loads the "Schedule" key; Finish needs a saved job,
// then saves the key, registers the task and says 260 or 261.
class CScheduleWizard : public QDialog
{
    Q_OBJECT
public:
    explicit CScheduleWizard(QWidget* parent = nullptr);

    CTvPropertiesPages* GetPages() const { return m_pages; }
    CScheduleStartPage* GetStartPage() const { return m_start; }
    CScheduleFrequencyPage* GetFrequencyPage() const { return m_frequency; }
    CScheduleJobPage* GetJobPage() const { return m_job; }
    CScheduleAccountPage* GetAccountPage() const { return m_account; }
    void Finish();

private:
    CTvPropertiesPages* m_pages;
    CScheduleStartPage* m_start;
    CScheduleFrequencyPage* m_frequency;
    CScheduleJobPage* m_job;
    CScheduleAccountPage* m_account;
};
