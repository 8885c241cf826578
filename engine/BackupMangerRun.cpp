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
#include "WriteLog.h"
#include "ZipException.h"

#include <algorithm>
#include <cerrno>

namespace {

constexpr unsigned kTextRunStart = 199;
constexpr unsigned kTextOpenFailed = 200;
constexpr unsigned kTextPasswordRefused = 201;
constexpr unsigned kTextFinished = 202;
constexpr unsigned kTextFailed = 203;
constexpr unsigned kTextStoppedEarly = 204;
constexpr unsigned kTextAddFailed = 205;
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
    if (CBackupMangerSource* outlook = GetSource(itemkind::kOutlook))
        outlook->SaveSelection();
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
        break;
    }
    return 0;
}

void CBackupManger::StartWorker(std::function<void()> run)
{
    // The run's thread works at the priority the user chose for jobs.
    const int priority = g_Preferences.m_nPriority;
    m_Worker = std::thread([priority, run = std::move(run)] {
        SetWorkerThreadPriority(priority);
        run();
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

bool CBackupManger::OpenArchive()
{
    const std::string& path = g_ProjectData.GetOutputPath();
    for (;;) {
        try {
            m_Archive.SetBuffers(kWriteBuffer, kGeneralBuffer, kSearchBuffer);
            m_Archive.Open(path, m_Settings.m_nOpenMode, m_Settings.m_nVolumeSize);
            return true;
        } catch (const CZipException& e) {
            if (m_Settings.m_nOpenMode == CZipContainer::ArcOpen && e.GetCause() == EACCES) {
                m_Settings.m_nOpenMode = CZipContainer::ArcOpenReadOnly;
                m_Report.WriteLine("Fail to open backup file, we may have no write acces, try to "
                                   "open in read-only mode");
                continue;
            }
            m_Report.WriteException(e);
            Prompt().MessageBox(e.what(), MB_OK | MB_ICONERROR);
            LogResource(kTextOpenFailed);
            return false;
        }
    }
}

bool CBackupManger::ApplyPassword()
{
    const std::string& password = g_ProjectData.GetPassword();
    if (password.empty() || m_Archive.SetPassword(password))
        return true;
    LogResource(kTextPasswordRefused);
    return false;
}

bool CBackupManger::AddOne(const CAddInfo& item, int replaceIndex, bool& stop)
{
    CZipAddInfo info;
    info.m_path = item.m_strSourcePath;
    info.m_nameInArchive = item.m_strEntryName;
    info.m_fullPath = !item.m_strEntryName.empty();
    info.m_replaceIndex = replaceIndex;
    // A file refused before the archive starts on it must not inherit the count of
    // the one before.
    m_Progress.m_processed = 0;
    try {
        if (m_Archive.AddNewFile(info)) {
            // The entry holds what was read; the user should know it may not be the
            // file's final state.
            if (m_Archive.LastFileChangedSize())
                m_Report.WriteLine("File changed while it was being backed up: " +
                                   item.m_strSourcePath);
            return true;
        }
        m_Progress.m_externalPath = item.m_strSourcePath;
        m_Progress.m_total = item.m_dwSize;
    } catch (const CZipException& e) {
        if (e.GetCause() == CZipException::ErrAbortedSafely) {
            stop = true;
        } else {
            // The entry is dropped; the directory is still written when closing.
            m_bError = true;
            try {
                m_Archive.CloseNewFile(true);
            } catch (const std::exception&) {
                m_bError = true;
            }
            if (e.GetCause() == CZipException::ErrDiskChangeAborted)
                stop = true;
        }
        if (e.GetCause() != CZipException::ErrAbortedSafely &&
            e.GetCause() != CZipException::ErrAborted)
            m_Report.WriteException(e);
    }
    LogResource(kTextAddFailed, item.m_strSourcePath);
    ++m_dwAddFailures;
    return false;
}

std::uint64_t CBackupManger::StartRun()
{
    m_Progress.Begin(0);
    m_Progress.m_type = CBackupProgress::kPreparing;
    m_Progress.PostProgress();
    m_dwAddFailures = 0;
    GatherFiles();
    std::uint64_t sum = 0;
    for (const CAddInfo* item : m_RunList)
        sum += item->m_dwSize;
    LogResource(kTextRunStart);
    m_Report.WriteLine("");
    return sum;
}

void CBackupManger::FailRun()
{
    Close();
    PostEvent(notify::kBackupFailed, 0);
    m_Report.SaveBackupReport();
    m_Progress.End();
}

bool CBackupManger::BeginStage(std::uint64_t total)
{
    // Begin clears the events: a cancel that arrived before it must not be lost.
    const bool cancelled = m_Progress.m_CancelEvent.IsSet() || m_Progress.m_StopEvent.IsSet();
    m_Progress.Begin(total);
    return !cancelled;
}

void CBackupManger::NormalRun()
{
    const std::uint64_t sum = StartRun();
    m_Progress.Begin(sum);
    if (!OpenArchive() || !ApplyPassword()) {
        FailRun();
        return;
    }
    PostEvent(notify::kFileCount, static_cast<std::intptr_t>(m_RunList.GetSize()));
    bool stopped = false;
    std::uint32_t number = 0;
    for (const CAddInfo* item : m_RunList) {
        bool stop = false;
        PostFileEvents(*item, ++number);
        PostEvent(notify::kAddedCount, number);
        const bool added = AddOne(*item, -1, stop);
        if (!ReportRemaining(*item, added, stop)) {
            stopped = true;
            break;
        }
    }
    FinishRun(stopped);
}

void CBackupManger::PostFileEvents(const CAddInfo& item, std::uint32_t number)
{
    PostEvent(notify::kFilePath, reinterpret_cast<std::intptr_t>(item.m_strSourcePath.c_str()));
    PostEvent(notify::kFileNumber, number);
}

bool CBackupManger::ReportRemaining(const CAddInfo& item, bool clean, bool stop)
{
    const std::uint32_t done = m_Progress.m_processed;
    const int remaining = item.m_dwSize > done ? static_cast<int>(item.m_dwSize - done) : 0;
    if (!m_Progress.Callback(remaining) || stop)
        return false;
    return !(clean && m_Progress.m_StopEvent.IsSet());
}

void CBackupManger::FinishRun(bool stopped)
{
    if (stopped) {
        m_Report.WriteLine("");
        LogResource(kTextStoppedEarly);
    }
    Close();
    m_Report.WriteLine("");
    if (stopped) {
        LogResource(kTextFailed);
        PostEvent(notify::kBackupFailed, 0);
    } else {
        LogResource(kTextFinished);
        PostEvent(notify::kBackupDone, 0);
    }
    m_Report.SaveBackupReport();
    m_Progress.End();
}
