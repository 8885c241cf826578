#include "BackupManger.h"

#include "CheckTreeModel.h"
#include "ItemKinds.h"
#include "ItemTag.h"
#include "Notify.h"
#include "Preferences.h"
#include "ResultCodes.h"
#include "WorkerPriority.h"

#include <algorithm>

namespace {

// The report lines around one source's collection: the reading line, and the
// prefixes of the count and size lines (null: no such line).
struct SourceLines
{
    std::uint32_t kind;
    const char* reading;
    const char* count;
    const char* size;
    bool catalogue; // the source's catalogue is listed and its totals counted
};

constexpr SourceLines kSourceLines[] = {
    {itemkind::kOutlook, "Reading Microsoft Outlook Data",
     "Microsoft Outlook Selected Items : ", "Microsoft Outlook Selected Items Size: ", true},
    {itemkind::kOEIdentity, nullptr, "Selected Items : ", "Selected Items Size: ", true},
    {itemkind::kFavorites, "Reading Favorites",
     "Favorites Files : ", "Favorites Files Size: ", true},
    {itemkind::kAddressBook, "Reading Windows Address Book", nullptr, "Wab File Size: ", true},
    {itemkind::kApplications, "Reading Applications", "Application Files : ",
     "Application Files Size: ", true},
    {itemkind::kFonts, "Reading Fonts", "Font Files : ", "Font Files Size: ", true},
    {itemkind::kMyFiles, "Reading My Folders", "Selected Files : ", "Selected Files Size: ", true},
};

const SourceLines* LinesOf(std::uint32_t kind)
{
    for (const SourceLines& lines : kSourceLines)
        if (lines.kind == kind)
            return &lines;
    return nullptr;
}

} // namespace

void CBackupManger::AddTotals(const CDataSource& source)
{
    m_qwTotalBytes += source.GetTotalSize();
    m_dwTotalFiles += static_cast<std::uint32_t>(source.GetItemCount());
}

int CBackupManger::Collect()
{
    m_FileCheck.ClearSkipped();
    m_CatalogueList.RemoveAll();
    m_CollectedKinds.clear();
    m_SelectedIdentities.clear();
    m_qwTotalBytes = 0;
    m_dwTotalFiles = 0;
    if (m_pBackupTree) {
        for (TvTreeItem node = m_pBackupTree->GetFirstCheckedItem(); node;
             node = m_pBackupTree->GetNextCheckedItem(node)) {
            const auto* tag = reinterpret_cast<const ItemTag*>(m_pBackupTree->GetItemData(node));
            if (!tag)
                continue;
            const int code = CollectNode(*tag, m_pBackupTree->GetItemText(node));
            if (code != result::kSuccess)
                return code;
        }
    }
    return CollectMyFiles();
}

int CBackupManger::CollectNode(const ItemTag& tag, const std::string& text)
{
    switch (tag.kind) {
    case itemkind::kOutlook:
    case itemkind::kOEIdentity:
        // The mail program must be closed for its files to be read whole.
        if (m_MailProgramOpen && m_MailProgramOpen(tag.kind))
            return result::kCancel;
        break;
    case itemkind::kFavorites:
    case itemkind::kAddressBook:
    case itemkind::kApplications:
    case itemkind::kFonts:
        break;
    default:
        return result::kSuccess;
    }
    if (tag.kind == itemkind::kOEIdentity) {
        CBackupMangerSource* group = GetSource(itemkind::kOEGroup);
        CBackupMangerSource* identity = group ? group->GetIdentitySource(tag.value) : nullptr;
        if (!identity)
            return result::kSuccess;
        InstallFileCheck(*identity);
        m_Report.WriteLine("Reading Outlook Express Data");
        m_Report.WriteLine("Identity Name : " + text);
        const int code = CollectSource(tag.kind, *identity, text);
        if (code == result::kSuccess)
            m_SelectedIdentities.push_back(identity);
        return code;
    }
    CBackupMangerSource* source = GetSource(tag.kind);
    if (!source)
        return result::kSuccess;
    m_Report.WriteLine(LinesOf(tag.kind)->reading);
    return CollectSource(tag.kind, *source, "");
}

int CBackupManger::CollectSource(std::uint32_t kind, CBackupMangerSource& source,
                                 const std::string& displayName)
{
    std::string catalogueName;
    const int code = source.Collect(catalogueName);
    if (code != result::kSuccess)
        return code;
    if (kind != itemkind::kOEIdentity)
        m_CollectedKinds.push_back(kind);
    const SourceLines& lines = *LinesOf(kind);
    // A source with nothing to back up (no address book registered) writes no
    // catalogue; listing it would promise a catalogue the backup does not hold.
    if (!lines.catalogue || catalogueName.empty())
        return result::kSuccess;
    m_CatalogueList.Add(std::make_unique<CBackupTreeItem>(catalogueName, displayName, kind));
    AddTotals(source);
    // Sizes are written in full: a selection may pass 4 GiB.
    if (lines.count)
        m_Report.WriteLine(lines.count + std::to_string(source.GetItemCount()));
    if (lines.size)
        m_Report.WriteLine(lines.size + std::to_string(source.GetTotalSize()));
    return result::kSuccess;
}

int CBackupManger::CollectMyFiles()
{
    // My Files is collected whatever the tree says; it is listed only when it has files.
    if (!m_pMyFiles)
        return result::kSuccess;
    std::string catalogueName;
    const int code = m_pMyFiles->Collect(catalogueName);
    // Its own catalogue is the first entry of its list: a selection that gave
    // nothing else is no section of the backup.
    if (code != result::kSuccess || m_pMyFiles->GetItemCount() <= 1 || catalogueName.empty()) {
        // Nor is its catalogue stored then.
        m_pMyFiles->GetItemList().RemoveAll();
        return code;
    }
    const SourceLines& lines = *LinesOf(itemkind::kMyFiles);
    m_Report.WriteLine(lines.reading);
    m_CatalogueList.Add(std::make_unique<CBackupTreeItem>(catalogueName, "", itemkind::kMyFiles));
    AddTotals(*m_pMyFiles);
    m_Report.WriteLine(lines.count + std::to_string(m_pMyFiles->GetItemCount()));
    m_Report.WriteLine(lines.size + std::to_string(m_pMyFiles->GetTotalSize()));
    return result::kSuccess;
}

void CBackupManger::StartCollect(CNotify* notify)
{
    if (m_Collector.joinable())
        m_Collector.join();
    m_ScanCancelEvent.Reset();
    m_ScanRunningEvent.Set();
    m_pScanNotify = notify;
    m_FileCheck.SetScanNotify(notify);
    const int priority = g_Preferences.m_nPriority;
    m_Collector = std::thread([this, priority] {
        SetWorkerThreadPriority(priority);
        const int code = Collect();
        m_nCollectResult = code;
        CNotify* const scanNotify = m_pScanNotify;
        if (code == result::kSuccess && scanNotify)
            scanNotify->post(notify::kCollectDone, 0, 0);
        m_ScanCancelEvent.Reset();
        m_ScanRunningEvent.Reset();
        if (scanNotify)
            scanNotify->post(notify::kCollectEnded, static_cast<std::uintptr_t>(code), 0);
    });
}

int CBackupManger::WaitCollect()
{
    if (m_Collector.joinable())
        m_Collector.join();
    m_pScanNotify = nullptr;
    m_FileCheck.SetScanNotify(nullptr);
    return m_nCollectResult;
}

void CBackupManger::CancelCollect()
{
    if (!m_Collector.joinable())
        return;
    m_ScanCancelEvent.Set();
    m_ScanRunningEvent.WaitReset();
    WaitCollect();
}
