// Restore: planning the checked sources and starting the restore run.
#include "BackupManger.h"

#include "ItemKinds.h"
#include "ProjectData.h"
#include "ResultCodes.h"

#include "CheckTreeModel.h"
#include "Preferences.h"

namespace {

constexpr unsigned kTextPlanOutlook = 233;
constexpr unsigned kTextPlanAddressBook = 235;
constexpr unsigned kTextPlanFonts = 236;
constexpr unsigned kTextPlanFavorites = 237;
constexpr unsigned kTextMyFiles = 158;
constexpr unsigned kTextApplications = 126;

} // namespace

// Plans one source's section; a missing source gives a section without entries.
int CBackupManger::PlanSection(std::uint32_t kind, CBackupMangerSource* source, unsigned headingId)
{
    m_Report.WriteLine("");
    LogResource(headingId);
    if (source) {
        source->GetRestorePlan().RemoveAll();
        const int planned = source->PlanRestore();
        if (planned != result::kSuccess)
            return planned;
        m_qwRestoreTotal += source->GetRestoreTotalSize();
        m_dwRestoreItems += static_cast<std::uint32_t>(source->GetRestorePlan().GetSize());
    }
    m_RestoreKinds.push_back(static_cast<std::uint16_t>(kind));
    return result::kSuccess;
}

int CBackupManger::PlanCheckedNode(TvTreeItem node)
{
    const auto* tag = reinterpret_cast<const ItemTag*>(m_pRestoreTree->GetItemData(node));
    if (!tag)
        return result::kSuccess;
    const auto* item = reinterpret_cast<const CBackupTreeItem*>(tag->value);
    switch (tag->kind) {
    case itemkind::kOutlook:
        if (m_MailProgramOpen && m_MailProgramOpen(tag->kind))
            return result::kRestoreCancel;
        return PlanSection(tag->kind, GetSource(tag->kind), kTextPlanOutlook);
    case itemkind::kOEIdentity: {
        if (m_MailProgramOpen && m_MailProgramOpen(tag->kind))
            return result::kRestoreCancel;
        const std::string name = item ? item->m_strCatalogueFile : std::string();
        if (CRestoreIdentity* identity = GetRestoreIdentity(name)) {
            identity->GetRestorePlan().RemoveAll();
            const int planned = identity->PlanRestore();
            if (planned != result::kSuccess)
                return planned;
            m_qwRestoreTotal += identity->GetRestoreTotalSize();
            m_dwRestoreItems += static_cast<std::uint32_t>(identity->GetRestorePlan().GetSize());
        }
        m_RestoreIdentities.push_back(name);
        m_RestoreKinds.push_back(static_cast<std::uint16_t>(tag->kind));
        return result::kSuccess;
    }
    case itemkind::kFavorites:
        return PlanSection(tag->kind, GetSource(tag->kind), kTextPlanFavorites);
    case itemkind::kAddressBook:
        return PlanSection(tag->kind, GetSource(tag->kind), kTextPlanAddressBook);
    case itemkind::kFonts:
        return PlanSection(tag->kind, GetSource(tag->kind), kTextPlanFonts);
    case itemkind::kApplications:
        return PlanSection(tag->kind, GetSource(tag->kind), kTextApplications);
    default:
        return result::kSuccess;
    }
}

int CBackupManger::StartRestore(CNotify* notify)
{
    JoinWorker();
    m_RestoreKinds.clear();
    m_RestoreIdentities.clear();
    m_qwRestoreTotal = 0;
    m_dwRestoreItems = 0;
    m_dwRestoreFailures = 0;
    m_dwRestoredEntries = 0;
    m_RestoreRunList.RemoveAll();
    if (m_pRestoreTree) {
        for (TvTreeItem node = m_pRestoreTree->GetFirstCheckedItem(); node;
             node = m_pRestoreTree->GetNextCheckedItem(node)) {
            const int planned = PlanCheckedNode(node);
            if (planned != result::kSuccess)
                return planned;
        }
    }
    if (m_pMyFiles) {
        m_pMyFiles->GetRestorePlan().RemoveAll();
        const int planned = m_pMyFiles->PlanRestore();
        if (planned != result::kSuccess)
            return planned;
        // A plan of empty files has no bytes but still has files to restore.
        if (!m_pMyFiles->GetRestorePlan().IsEmpty()) {
            m_Report.WriteLine("");
            LogResource(kTextMyFiles);
            m_RestoreKinds.push_back(static_cast<std::uint16_t>(itemkind::kMyFiles));
            m_qwRestoreTotal += m_pMyFiles->GetRestoreTotalSize();
            m_dwRestoreItems += static_cast<std::uint32_t>(m_pMyFiles->GetRestorePlan().GetSize());
        }
    }
    if (m_RestoreKinds.empty())
        return result::kNothingToRestore;
    // A finished restore closed the archive; a second one from the same backup opens
    // it again rather than finding none of its entries.
    if (m_Archive.IsClosed()) {
        const std::string& path = g_ProjectData.GetRestoreSourcePath();
        if (path.empty())
            return result::kInvalidBackup;
        const int opened = OpenRestoreArchive(path);
        if (opened != result::kSuccess)
            return opened;
    }

    m_Report.SetPlaceholder(CHtmlReport::kRestoreSt);
    m_Archive.SetCallback(&m_Progress, CZipProgressCallback::CbAll);
    m_Archive.GetStorage().m_pDiskCallback = &m_DiskCallback;
    m_Progress.m_pOwner = this;
    m_Progress.m_pNotify = notify;
    m_Progress.m_RunningEvent.Set();
    StartWorker([this] { CRestoreRun(RestoreParts()).Run(); });
    return result::kSuccess;
}

// The run reaches the sources, the identities and the hook through the engine; none
// of them changes while the worker runs.
RestoreRunParts CBackupManger::RestoreParts()
{
    return {m_Report,
            m_Progress,
            m_Archive,
            m_RestoreKinds,
            m_RestoreIdentities,
            [this](std::uint32_t kind) { return RestoreSourceOf(kind); },
            [this](const std::string& name) { return GetRestoreIdentity(name); },
            m_RestoreRunList,
            m_RegistryImport,
            [this](bool afterFailedEntry) { CloseArchive(afterFailedEntry); },
            m_dwRestoreFailures,
            m_dwRestoredEntries};
}
