#pragma once

#include "TvPageDlg.h"

class QComboBox;
class QRadioButton;
class QTimeEdit;

// The second page: daily, weekly (with its weekday) or at log-on, and the time of
// day, which starts at 01:00 each time the page is made. Leaving the page stores
// the three into the schedule.
class CScheduleFrequencyPage : public CTvPageDlg
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 302;

    CScheduleFrequencyPage();
    void OnSetActive() override;
    bool OnKillActive() override;

    QRadioButton* GetChoice(int frequency) const { return m_choices[frequency]; }
    QComboBox* GetWeekDays() const { return m_weekDays; }
    QTimeEdit* GetTime() const { return m_time; }

private:
    void UpdateWeekDays();

    QRadioButton* m_choices[3];
    QComboBox* m_weekDays;
    QTimeEdit* m_time;
};
