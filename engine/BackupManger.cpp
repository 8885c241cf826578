#include "BackupManger.h"

#include "CheckTreeModel.h"

#include "MainCatalogue.h"
#include "ProjectData.h"

CBackupManger::CBackupManger() : m_FileCheck(m_Report)
{
    SetFileCheck(&m_FileCheck);
    m_Progress.m_pOwner = this;
}

CBackupManger::~CBackupManger()
{
    // A job still running when the process ends is cancelled, so that its archive
    // is closed whole rather than cut off.
    CancelCollect();
    CancelAndWait();
    JoinWorker();
}

void CBackupManger::Reset()
{
    // The lists below belong to the worker while it runs.
    JoinWorker();
    CDataSource::Reset();
    if (m_pMyFiles)
        m_pMyFiles->Reset();
    for (auto& [kind, source] : m_Sources)
        source->Reset();
    m_Settings = ArchiveOpenSettings();
    m_IdentityMap.clear();
    m_qwTotalBytes = 0;
    m_dwTotalFiles = 0;
    // Nothing of an earlier run may leak into the next: a stale catalogue list would
    // list sources this run never collected, stale kinds would hand their old files
    // to the run. The restore tree's tags point into the catalogue list, so the tree
    // goes first.
    if (m_pRestoreTree)
        m_pRestoreTree->DeleteAllItems();
    m_pRestoreTree = nullptr;
    m_RestoreTags.clear();
    m_CatalogueList.RemoveAll();
    m_CollectedKinds.clear();
    m_SelectedIdentities.clear();
    m_FileCheck.ClearSkipped();
    m_RunList.RemoveAll();
    m_VerifyNames.clear();
    m_RestoreKinds.clear();
    m_RestoreIdentities.clear();
    m_RestoreRunList.RemoveAll();
    m_qwRestoreTotal = 0;
    m_dwRestoreFailures = 0;
    m_dwRestoredEntries = 0;
    m_LastRun = RunEnding();
}

void CBackupManger::SetMode(int mode)
{
    CDataSource::SetMode(mode);
    if (m_pMyFiles)
        m_pMyFiles->SetMode(mode);
    for (auto& [kind, source] : m_Sources)
        source->SetMode(mode);
}

void CBackupManger::SetSource(std::uint32_t kind, std::unique_ptr<CBackupMangerSource> source)
{
    if (!source) {
        m_Sources.erase(kind);
        return;
    }
    InstallFileCheck(*source);
    m_Sources[kind] = std::move(source);
}

CBackupMangerSource* CBackupManger::GetSource(std::uint32_t kind) const
{
    const auto found = m_Sources.find(kind);
    return found == m_Sources.end() ? nullptr : found->second.get();
}

void CBackupManger::SetMyFiles(std::unique_ptr<CBackupMangerSource> source)
{
    m_pMyFiles = std::move(source);
    if (m_pMyFiles)
        InstallFileCheck(*m_pMyFiles);
}

void CBackupManger::InstallFileCheck(CDataSource& source)
{
    source.SetFileCheck(&m_FileCheck);
    if (auto* collecting = dynamic_cast<CBackupMangerSource*>(&source)) {
        collecting->SetStopRequest(&m_ScanCancelEvent);
        collecting->SetReport(&m_Report);
    }
}

int CBackupManger::WriteCatalogue()
{
    // A second call before a run must not list the catalogue files twice.
    m_ItemList.RemoveAll();
    return CMainCatalogue::Write(*this, g_ProjectData, m_CatalogueList);
}

void CBackupManger::Close()
{
    CloseArchive(false);
}

// A restore run after a failed entry closes with the directory still written.
void CBackupManger::CloseArchive(bool afterFailedEntry)
{
    if (!m_Archive.IsClosed()) {
        try {
            m_Archive.Close(afterFailedEntry ? CZipContainer::CloseAfterExceptionWrite
                                             : CZipContainer::CloseNormal,
                            true);
        } catch (const std::exception&) {
            try {
                m_Archive.Close(CZipContainer::CloseAfterException, false);
            } catch (const std::exception&) {
                // Closing after an exception gives the file up; nothing more to do.
            }
        }
    }
}

void CBackupManger::WaitForWorker()
{
    JoinWorker();
}

void CBackupManger::CancelAndWait()
{
    if (m_Progress.m_RunningEvent.IsSet())
        m_Progress.CancelAndWait();
    JoinWorker();
}

void CBackupManger::JoinWorker()
{
    if (m_Worker.joinable())
        m_Worker.join();
}
