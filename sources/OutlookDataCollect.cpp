// The Outlook source's backup and restore: collecting the checked items, reading the
// catalogue of a backup, planning where each stored entry goes.
#include "OutlookData.h"

#include "RegistryExport.h"
#include "StoredName.h"

#include "ItemKinds.h"
#include "ItemTag.h"
#include "ResultCodes.h"

#include "CaseFold.h"
#include "CheckTreeModel.h"
#include "FolderTools.h"
#include "ProjectData.h"

namespace {

std::string ArchiveFolderOf(std::uint32_t kind)
{
    return std::string(COutlookData::kArchiveFolder) + "\\" + itemkind::GetArchiveFolder(kind);
}

} // namespace

int COutlookData::Collect(std::string& catalogueName)
{
    m_ItemList.RemoveAll();
    if (m_nFound != 1)
        return result::kNoOutlook;
    // An unattended run shows no tree: the saved choice decides.
    if (!m_Tree.IsFilled()) {
        Load();
        FillTree();
    }
    for (TvTreeItem item = m_Tree.Get().GetFirstCheckedItem(); item;
         item = m_Tree.Get().GetNextCheckedItem(item)) {
        const auto* tag = reinterpret_cast<const ItemTag*>(m_Tree.Get().GetItemData(item));
        if (!tag || tag->kind == itemkind::kProviderRoot)
            continue;
        const int code = CollectItem(item, tag->kind, tag->value);
        if (code == result::kCancel || code == result::kAbortScan)
            return code;
    }
    return FinishCollect(catalogueName);
}

int COutlookData::CollectItem(TvTreeItem item, std::uint32_t kind, std::uintptr_t value)
{
    std::string path;
    std::string name;
    if (const char* fileName = RegistryFileName(kind)) {
        // A key that cannot be exported (gone meanwhile) is left out without a word.
        CRegistryExport exporter(fileName, KeyOf(kind));
        path = exporter.WriteRegistryFileToTemp();
        name = fileName;
    } else {
        if (IsStopRequested())
            return result::kAbortScan;
        const auto* file = reinterpret_cast<const OutlookFile*>(value);
        path = file ? file->path : std::string();
        name = file ? file->name : std::string();
    }
    if (path.empty())
        return result::kSuccess;
    const int code = AddStoredFile(path, ArchiveFolderOf(kind) + "\\" + name, nullptr, kind);
    if (code == result::kSuccess)
        m_ItemList[m_ItemList.GetSize() - 1]->m_strTreePath = TreePathOf(item);
    return code;
}

int COutlookData::LoadForRestore(const CatalogueExtract& extract)
{
    m_Tree.Get().DeleteAllItems();
    const int code = ReadStoredCatalogue(extract);
    if (code != result::kSuccess)
        return code;
    return FillTree();
}

int COutlookData::PlanRestore()
{
    if (m_nMode != 1)
        return result::kSuccess;
    for (TvTreeItem item = m_Tree.Get().GetFirstCheckedItem(); item;
         item = m_Tree.Get().GetNextCheckedItem(item)) {
        const auto* stored = reinterpret_cast<const CAddInfo*>(m_Tree.Get().GetItemData(item));
        if (stored)
            PlanStored(*stored);
    }
    return result::kSuccess;
}

// Each stored entry goes back by its kind: a file by its one name into its kind's
// folder (made when Outlook was never set up here), a registry export under its own
// name into the work folder for the import. Anything else was not written here.
bool COutlookData::PlanStored(const CAddInfo& stored)
{
    const std::uint32_t kind = stored.m_dwKind;
    const char* registryName = RegistryFileName(kind);
    const std::string folder = registryName ? g_ProjectData.GetWorkFolder() : GetFolder(kind);
    if (folder.empty()) {
        RefuseStored(stored, "it is no file of this part of the backup");
        return false;
    }
    const auto below = StoredNameBelow(stored.m_strEntryName, ArchiveFolderOf(kind));
    const auto parts = below ? SplitStoredName(*below) : std::nullopt;
    if (!parts || parts->size() != 1 ||
        (registryName && !EqualsNoCase(parts->front(), registryName))) {
        RefuseStored(stored, "its name leads outside the folder it belongs in");
        return false;
    }
    tbm::CreateFolderPath(folder, 0700);
    auto plan = std::make_unique<CAddInfo>(PlanStoredFile(stored, folder, *parts));
    plan->m_dwKind = kind;
    m_RestorePlan.Add(std::move(plan));
    return true;
}
