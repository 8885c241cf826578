// The identity's restore: its catalogue from the backup, and the plan that puts the
// mail files into the target identity's store folder and the registry exports into
// the work folder for their import below the target identity's keys.
#include "OEData.h"

#include "StoredName.h"

#include "ItemKinds.h"
#include "ResultCodes.h"

#include "CaseFold.h"
#include "CheckTreeModel.h"
#include "FolderTools.h"
#include "ProjectData.h"
#include "ResourceLibrary.h"

#include <set>

namespace {

constexpr unsigned kTextIdentity = 234;
constexpr const char* kCatalogueExtension = ".tdat";

std::string FileNameOf(const std::string& entryName)
{
    return entryName.substr(entryName.rfind('\\') + 1);
}

} // namespace

std::unique_ptr<COEData> COEData::ForRestore(const std::string& catalogueName,
                                             const std::string& displayName,
                                             const CatalogueExtract& extract,
                                             CTextSink* report, int& code)
{
    auto data = std::make_unique<COEData>();
    data->SetReport(report);
    data->Initialise(catalogueName, displayName);
    data->SetMode(1);
    code = data->LoadForRestore(extract);
    if (code != result::kSuccess)
        return nullptr;
    return data;
}

int COEData::LoadForRestore(const CatalogueExtract& extract)
{
    m_Tree.Clear();
    m_ItemList.RemoveAll();
    // The name comes from the backup's catalogue: only "{GUID}.tdat" is read, so no
    // crafted name reaches the work folder's neighbours or builds an entry name.
    if (GetGuid().empty() || m_strIdentity != GetGuid() + kCatalogueExtension) {
        Log("Fail to restore the identity " + m_strIdentityName + ": its catalogue " +
            m_strIdentity + " is not named after an identity");
        return result::kExtractError;
    }
    std::string path;
    const int code = extract ? extract(m_strIdentity, path) : result::kExtractError;
    if (code != result::kSuccess)
        return code;
    if (!ReadCatalogue(path))
        return result::kExtractError;
    FillTree();
    return result::kSuccess;
}

void COEData::LogPlanHeader() const
{
    Log("");
    Log(LoadResString(kTextIdentity));
    Log("Backup Identity Name: " + m_strIdentityName);
    Log("Backup Identity GUID: " + GetGuid());
    Log("Restore to Identity GUID: " + m_strTargetGuid);
}

int COEData::PlanRestore()
{
    if (m_nMode != 1)
        return result::kSuccess;
    LogPlanHeader();
    if (m_strTargetGuid.empty() || m_strTargetStoreFolder.empty()) {
        Log("Fail to restore the identity " + m_strIdentityName +
            ": the identity to restore into has no store folder");
        return result::kSuccess;
    }
    // Entries that share a tree path (the two accounts exports) share one node, which
    // points at only one of them: every entry of a checked node's path is planned.
    std::set<std::string> paths;
    for (TvTreeItem item = GetTree().GetFirstCheckedItem(); item;
         item = GetTree().GetNextCheckedItem(item))
        if (const auto* stored = reinterpret_cast<const CAddInfo*>(GetTree().GetItemData(item)))
            paths.insert(FoldCase(stored->m_strTreePath));
    bool anyMailFile = false;
    for (const CAddInfo* stored : m_ItemList)
        if (!stored->m_strTreePath.empty() && paths.count(FoldCase(stored->m_strTreePath)) != 0 &&
            PlanStored(*stored) && stored->m_dwKind == itemkind::kOEMailFolders)
            anyMailFile = true;
    // The index goes back only with mail files it lists; alone it would describe
    // folders the store does not hold.
    if (anyMailFile)
        for (std::size_t i = m_ItemList.GetSize(); i-- > 0;)
            if (EqualsNoCase(FileNameOf(m_ItemList[i]->m_strEntryName), kIndexName)) {
                PlanStored(*m_ItemList[i]);
                break;
            }
    return result::kSuccess;
}

bool COEData::PlanStored(const CAddInfo& stored)
{
    const std::uint32_t kind = stored.m_dwKind;
    const char* exportName = ExportFileName(kind);
    const bool mailFile = kind == itemkind::kOEMailFolders;
    if (!exportName && !mailFile) {
        Log("Fail to restore " + stored.m_strEntryName + ": it is no file of an identity");
        return false;
    }
    const auto below = StoredNameBelow(stored.m_strEntryName, EntryFolderOf(kind));
    const auto parts = below ? SplitStoredName(*below) : std::nullopt;
    if (!parts || parts->size() != 1 || (exportName && !EqualsNoCase(parts->front(), exportName))) {
        Log("Fail to restore " + stored.m_strEntryName +
            ": its name leads outside the folder it belongs in");
        return false;
    }
    const std::string folder = mailFile ? m_strTargetStoreFolder : g_ProjectData.GetWorkFolder();
    tbm::CreateFolderPath(folder, 0700);
    auto plan = std::make_unique<CAddInfo>(PlanStoredFile(stored, folder, *parts));
    plan->m_dwKind = kind;
    m_RestorePlan.Add(std::move(plan));
    return true;
}
