#pragma once

#include "TvPageDlg.h"

class QListWidget;
class QPushButton;

// The third page: the saved jobs; the selected one becomes the schedule's job (no
// selection keeps the name there was). The options button opens the five options.
class CScheduleJobPage : public CTvPageDlg
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 303;

    CScheduleJobPage();
    void OnSetActive() override;
    bool OnKillActive() override;

    QListWidget* GetJobs() const { return m_jobs; }
    QPushButton* GetOptionsButton() const { return m_options; }

private:
    QListWidget* m_jobs;
    QPushButton* m_options;
};
