#include "UnattendedStart.h"

#include "BackupManger.h"
#include "CountDownDialog.h"
#include "MainWindow.h"
#include "PageIds.h"
#include "ProjectData.h"
#include "Prompt.h"
#include "RunOptions.h"
#include "RunPage.h"
#include "TbmExitCodes.h"
#include "TbmInterrupt.h"
#include "TvPropertiesPages.h"
#include "UiDialogs.h"

#include <QApplication>


CUnattendedStart::CUnattendedStart(CMainWindow& window)
    : QObject(&window), m_window(window), m_exitCode(tbmexit::kFailed)
{
    connect(window.GetRunPage(), &CRunPage::runEnded, this, &CUnattendedStart::OnRunEnded);
    connect(&m_watch, &QTimer::timeout, this, &CUnattendedStart::OnWatch);
    CTbmInterrupt::Install();
    m_watch.start(100);
}

void CUnattendedStart::Begin()
{
    if (!g_bQuick) {
        CCountDownDialog countDown(&m_window);
        if (CUiDialogs::Exec(countDown) != QDialog::Accepted) {
            End(tbmexit::kCancelled);
            return;
        }
    }
    if (!ChooseJob())
        return;
    WalkPages();
}

bool CUnattendedStart::ChooseJob()
{
    const std::string& name = g_strJobName;
    // An empty new job would run with nothing chosen and look like a backup.
    if (name.empty() || !g_ProjectData.IsSavedJob(name)) {
        CUiDialogs::MessageBox(&m_window,
                               name.empty() ? "No job is named: the scheduled run needs the name of a saved job."
                                            : "There is no saved job \"" + name + "\".",
                               MB_OK | MB_ICONERROR);
        End(tbmexit::kFailed);
        return false;
    }
    if (name != g_ProjectData.GetJobName() && !g_ProjectData.LoadJob(name)) {
        // The window stays open on the failure; the code tells a script.
        CUiDialogs::MessageBox(&m_window, "Fail to load project name", MB_OK | MB_ICONERROR);
        m_exitCode = tbmexit::kFailed;
        return false;
    }
    m_window.GetContext().treesStale = true;
    return true;
}

// The pages in the wizard's order; each keeps the loaded job's values in an
// unattended run, and the run page starts the backup.
void CUnattendedStart::WalkPages()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (unsigned page : {pageid::kJob, pageid::kMedium, pageid::kSelection, pageid::kSettings,
                          pageid::kRun})
        pageid::PostGoTo(m_window.GetPages(), page);
    QMetaObject::invokeMethod(this, [] { QApplication::restoreOverrideCursor(); }, Qt::QueuedConnection);
}

void CUnattendedStart::OnRunEnded(int code)
{
    if (m_bStopping)
        return;
    const CBackupManger& engine = m_window.GetContext().engine;
    const bool complete = engine.GetSkippedFiles().empty() && engine.GetLastRun().failedFiles.empty();
    if (code == 17 || (code == 10 && !g_bValidate))
        m_exitCode = complete ? tbmexit::kSuccess : tbmexit::kFailed;
    else if (code == 11 && (engine.GetLastRun().kind == RunEnding::kCancelledUnchanged ||
                            engine.GetLastRun().kind == RunEnding::kCancelledIncomplete))
        m_exitCode = tbmexit::kCancelled;
    else if (code == 11 || code == 16)
        m_exitCode = tbmexit::kFailed;
}

void CUnattendedStart::OnWatch()
{
    if (!CTbmInterrupt::IsRaised() || m_bStopping)
        return;
    m_bStopping = true;
    m_watch.stop();
    m_window.GetRunPage()->Stop();
    End(tbmexit::kCancelled);
}

void CUnattendedStart::End(int code)
{
    m_exitCode = code;
    m_window.close();
}
