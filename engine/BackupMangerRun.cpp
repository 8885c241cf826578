#include "BackupManger.h"

#include "CheckTreeModel.h"
#include "ItemKinds.h"
#include "Notify.h"
#include "Preferences.h"
#include "ProjectData.h"
#include "Prompt.h"
#include "ResourceLibrary.h"
#include "TextInserts.h"
#include "WorkerPriority.h"
#include "UpdateRun.h"
#include "WriteLog.h"
#include "ZipException.h"

#include <algorithm>
#include <cerrno>

namespace {

constexpr unsigned kTextRunStart = 199;
constexpr const char* kMainTreeFile = "MainTree.xsel";

} // namespace

void CBackupManger::ApplyMedium()
{
    const CProjectData& job = g_ProjectData;
    switch (job.GetMedium()) {
    case 0:
        m_Settings.m_nOpenMode = CZipContainer::ArcCreate;
        m_Settings.m_nVolumeSize = 1400000;
        break;
    case 1:
        if (m_Settings.m_nFitsOnOneDisk == 0) {
            m_Settings.m_nOpenMode = CZipContainer::ArcCreateSpanned;
            m_Settings.m_nVolumeSize = 0;
        } else if (m_Settings.m_nFitsOnOneDisk == 1) {
            m_Settings.m_nOpenMode = CZipContainer::ArcCreate;
            m_Settings.m_nVolumeSize = 1400000;
        }
        break;
    case 2:
        m_Settings.m_nOpenMode = CZipContainer::ArcCreateSpanned;
        m_Settings.m_nVolumeSize = static_cast<int>(job.m_dwPartSize);
        break;
    case 3:
        if (job.m_dwCdSpanning != 0 && m_Settings.m_nFitsOnOneDisk == 0) {
            m_Settings.m_nOpenMode = CZipContainer::ArcCreateSpanned;
            m_Settings.m_nVolumeSize = static_cast<int>(job.m_dwCdVolumeSize);
        } else {
            m_Settings.m_nOpenMode = CZipContainer::ArcCreate;
            m_Settings.m_nVolumeSize = 1400000;
        }
        break;
    default:
        break;
    }
}

int CBackupManger::StartBackup(CNotify* notify)
{
    JoinWorker();
    g_ProjectData.SaveJob();
    const std::string treeFile = g_ProjectData.GetPathInJobFolder(kMainTreeFile);
    if (m_pBackupTree && !treeFile.empty())
        m_pBackupTree->SaveCheckStateToFile(treeFile);
    // Every source collected keeps its selection (the fonts chosen, the applications),
    // so that an unattended run of the job takes the same.
    if (CBackupMangerSource* outlook = GetSource(itemkind::kOutlook))
        outlook->SaveSelection();
    for (const std::uint32_t kind : m_CollectedKinds)
        if (CBackupMangerSource* source = GetSource(kind); source && kind != itemkind::kOutlook)
            source->SaveSelection();
    for (CBackupMangerSource* identity : m_SelectedIdentities)
        identity->SaveSelection();
    if (m_pMyFiles)
        m_pMyFiles->SaveSelection();
    ApplyMedium();
    Close();
    m_Archive.SetCallback(&m_Progress, CZipProgressCallback::CbAll);
    m_Archive.GetStorage().m_pDiskCallback = &m_DiskCallback;
    m_Progress.m_pOwner = this;
    m_Progress.m_pNotify = notify;
    m_Progress.m_RunningEvent.Set();

    const std::uint32_t medium = g_ProjectData.GetMedium();
    const bool singleFolder = medium == 0 || (medium == 3 && g_ProjectData.m_dwCdSpanning == 0);
    const std::uint32_t type = singleFolder ? g_ProjectData.GetBackupType() : 0;
    switch (type) {
    case 0:
        StartWorker([this] { NormalRun(); });
        break;
    case 1:
        StartWorker([this] { UpdateRun(false); });
        break;
    case 2:
        StartWorker([this] { UpdateRun(true); });
        break;
    default:
        // A job file from elsewhere may hold any number here: end with a failure
        // rather than leave the window waiting for an end that never comes.
        m_Report.WriteFormatted("Fail to start the backup: backup type %u is not supported", type);
        PostEvent(notify::kBackupFailed, 0);
        m_Progress.End();
        if (notify)
            notify->post(notify::kWorkerEnded, 0, 0);
        break;
    }
    return 0;
}

void CBackupManger::StartWorker(std::function<void()> run)
{
    // The run's thread works at the priority the user chose for jobs. The notify is
    // taken now: the run may clear the progress object's before it ends.
    const int priority = g_Preferences.m_nPriority;
    CNotify* const notify = m_Progress.m_pNotify;
    // The run starts without a stop left from the run before, and it is cleared here,
    // before the thread exists: a Stop pressed from now on, however soon, ends the
    // run. The run's own stages never clear it again.
    m_Progress.Begin(0);
    m_Worker = std::thread([priority, notify, run = std::move(run)] {
        SetWorkerThreadPriority(priority);
        run();
        if (notify)
            notify->post(notify::kWorkerEnded, 0, 0);
    });
}

void CBackupManger::PostEvent(int code, std::intptr_t value)
{
    if (m_Progress.m_pNotify)
        m_Progress.m_pNotify->post(notify::kEvent, static_cast<std::uintptr_t>(code), value);
}

void CBackupManger::LogResource(unsigned id)
{
    m_Report.WriteTextResource(id);
}

void CBackupManger::LogResource(unsigned id, const std::string& insert)
{
    m_Report.WriteLine(FillInserts(LoadResString(id), {insert}));
}

void CBackupManger::GatherFiles()
{
    m_RunList.RemoveAll();
    m_ItemList.HandOverTo(m_RunList);
    // Only what the last Collect visited: an unchecked source may still hold the
    // files of an earlier selection.
    const auto takeKind = [this](std::uint32_t kind) {
        CBackupMangerSource* source = GetSource(kind);
        if (source && std::find(m_CollectedKinds.begin(), m_CollectedKinds.end(), kind) !=
                          m_CollectedKinds.end())
            source->GetItemList().HandOverTo(m_RunList);
    };
    takeKind(itemkind::kOutlook);
    for (CBackupMangerSource* identity : m_SelectedIdentities)
        identity->GetItemList().HandOverTo(m_RunList);
    if (m_pMyFiles)
        m_pMyFiles->GetItemList().HandOverTo(m_RunList);
    for (const std::uint32_t kind :
         {itemkind::kFavorites, itemkind::kAddressBook, itemkind::kFonts, itemkind::kApplications})
        takeKind(kind);
}

std::uint64_t CBackupManger::StartRun()
{
    m_Progress.BeginPart(0);
    m_Progress.m_type = CBackupProgress::kPreparing;
    m_Progress.PostProgress();
    m_LastRun = RunEnding();
    GatherFiles();
    LogResource(kTextRunStart);
    m_Report.WriteLine("");
    return 0;
}

BackupRunParts CBackupManger::RunParts()
{
    return {m_Report, m_Progress, m_Archive, m_Settings, m_RunList, m_LastRun};
}

void CBackupManger::NormalRun()
{
    StartRun();
    CBackupRun(RunParts()).Run();
}

void CBackupManger::UpdateRun(bool synchronise)
{
    StartRun();
    CUpdateRun(RunParts(), synchronise).Run();
}
