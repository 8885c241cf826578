// Verify: the verification run on the worker thread (CVerifyRun).
#include "BackupManger.h"

#include "VerifyRun.h"

int CBackupManger::Verify(CNotify* notify)
{
    JoinWorker();
    m_Report.SetPlaceholder(CHtmlReport::kBackupVer);
    Close();
    m_Archive.SetCallback(&m_Progress, CZipProgressCallback::CbAll);
    m_Archive.GetStorage().m_pDiskCallback = &m_DiskCallback;
    m_Progress.m_pOwner = this;
    m_Progress.m_pNotify = notify;
    m_Progress.m_RunningEvent.Set();
    StartWorker([this] { VerifyRun(); });
    return 0;
}

void CBackupManger::VerifyRun()
{
    CVerifyRun(m_Report, m_Progress, m_Archive, m_Settings.m_nVolumeSize, m_VerifyNames).Run();
}
