#pragma once

#include "TvPageDlg.h"

class QLabel;
class QPushButton;

// The last page. The account fields of the page are hidden here: a user's timer
// runs as that user. It says what will be set up and holds the Finish button.
class CScheduleAccountPage : public CTvPageDlg
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 304;

    CScheduleAccountPage();
    // Shows what Finish registers; the last page has no Next.
    void OnSetActive() override;
    QPushButton* GetFinishButton() const { return m_finish; }

signals:
    void finish();

private:
    QLabel* m_summary;
    QPushButton* m_finish;
};
