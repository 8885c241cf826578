#pragma once

#include "TvPageDlg.h"

class QPushButton;

// The schedule wizard's first page: a new schedule (on to the frequency page), or
// the deletion of the one there is (asks 257; disabled when there is none).
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

    QPushButton* m_delete;
};
