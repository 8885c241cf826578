#pragma once

#include "JobLock.h"
#include "ProgressSnapshot.h"
#include "TvPageDlg.h"

#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;
struct CWizardContext;

// The running backup (136): collects (dialog 137), writes the catalogue, runs the
// backup on the engine's worker and shows its progress and events; then offers the
// report, a verification and the first page beside the frame's own Exit.
class CRunPage : public CTvPageDlg
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 136;

    explicit CRunPage(CWizardContext& context);

    void OnSetActive() override;
    bool OnKillActive() override;

    // Starts the verification of the job's backup file.
    void StartVerify();
    // Stops a running job and waits until its worker has ended.
    void Stop();

    QLabel* GetStatus() const { return m_status; }
    QProgressBar* GetProgressBar() const { return m_bar; }
    QString GetCountText(int code) const;
    QPushButton* GetVerifyButton() const { return m_verify; }
    int GetLastEvent() const { return m_lastCode; }

signals:
    // A run (backup or verification) has ended and its worker was joined.
    void runEnded(int lastCode);

private:
    void Begin();
    void StartWorker(bool verify);
    void EnableButtons(bool enable);
    void OnProgress(const CProgressSnapshot& snapshot);
    void OnEvent(int code, qintptr value, const QString& text);
    void OnWorkerEnded();
    void AfterBackup();
    void EndUnattended();

    CWizardContext& m_context;
    QLabel* m_job;
    QLabel* m_type;
    QLabel* m_output;
    QLabel* m_status;
    QLabel* m_counts[4];
    QLabel* m_fileNumber;
    QProgressBar* m_bar;
    QPushButton* m_stop;
    QPushButton* m_report;
    QPushButton* m_verify;
    QPushButton* m_first;
    CJobLock m_lock;
    int m_fileCount = 0;
    int m_lastCode = -1;
    int m_lastType = 0;
};
