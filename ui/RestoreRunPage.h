#pragma once

#include "ProgressSnapshot.h"
#include "TvPageDlg.h"

#include <QString>

#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;
struct CWizardContext;

// The running restore (175): after the confirmation (205) it starts the restore and
// shows the backup's path, the section heading, the file being restored, a bar for
// the section and one for the whole restore. Every end, a stopped run's too, leaves
// the bars and the status line telling so and the buttons enabled again; the report
// "Restore.html" is one click away.
class CRestoreRunPage : public CTvPageDlg
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 175;

    explicit CRestoreRunPage(CWizardContext& context);

    void OnSetActive() override;
    bool OnKillActive() override;
    // Stops the running restore and waits until its worker has ended.
    void Stop();

    // A restore this page started is running.
    bool IsRunning() const;
    QLabel* GetStatus() const { return m_status; }
    QLabel* GetHeading() const { return m_heading; }
    QLabel* GetSizeLabel() const { return m_size; }
    QLabel* GetItemsLabel() const { return m_items; }
    QProgressBar* GetSectionBar() const { return m_section; }
    QProgressBar* GetTotalBar() const { return m_total; }
    QPushButton* GetStopButton() const { return m_stop; }
    QPushButton* GetReportButton() const { return m_report; }

signals:
    // The restore's worker has ended and was joined; `finished` unless it stopped.
    void restoreEnded(bool finished);

private:
    void Begin();
    bool HasTargetFolder();
    void Refused(int code);
    void EnableButtons(bool enable);
    void ResetBars();
    void OnProgress(const CProgressSnapshot& snapshot);
    void OnEvent(int code, qintptr value, const QString& text);
    void OnWorkerEnded();
    void ShowStopped();
    void ShowFinished();

    CWizardContext& m_context;
    QLabel* m_backup;
    QLabel* m_heading;
    QLabel* m_status;
    QLabel* m_size;
    QLabel* m_items;
    QProgressBar* m_section;
    QProgressBar* m_total;
    QPushButton* m_stop;
    QPushButton* m_report;
    QPushButton* m_first;
    bool m_bFinished = false;
    std::uint64_t m_qwTotal = 0;
    std::uint64_t m_qwFinished = 0;
};
