#pragma once

#include "TvPageDlg.h"

class QLabel;
class QPushButton;

// The schedule wizard's first page: a new schedule (on to the frequency page), or
// the deletion of the one there is (asks 257; disabled when there is none). It shows
// the schedule there is now.
class CScheduleStartPage : public CTvPageDlg
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 301;

    CScheduleStartPage();
    void OnSetActive() override;
    QPushButton* GetDeleteButton() const { return m_delete; }

signals:
    void newSchedule();

private:
    void OnDelete();
    // The schedule there is now, as its task says, or that there is none.
    void ShowCurrent();

    QLabel* m_current;
    QPushButton* m_delete;
};
