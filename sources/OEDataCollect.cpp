// The identity's backup: the checked settings exported from the registry, the
// checked mail folders' files and always the folder index, listed in the
// identity's catalogue.
#include "OEData.h"

#include "RegistryExport.h"

#include "ItemKinds.h"
#include "ItemTag.h"
#include "ResultCodes.h"

#include "CheckTreeModel.h"
#include "WriteLog.h"

#include <sys/stat.h>

namespace {

constexpr const char* kCatalogueExtension = ".tdat";

bool FileExists(const std::string& path)
{
    struct stat st
    {
    };
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

} // namespace

const char* COEData::ExportFileName(std::uint32_t kind)
{
    switch (kind) {
    case itemkind::kOEAccounts:
        return "OEAccounts.reg";
    case itemkind::kOEIdentityAccounts:
        return "OEAccounts1.reg";
    case itemkind::kOERules:
        return "OERules.reg";
    case itemkind::kOESignatures:
        return "OESig.reg";
    case itemkind::kOEMailPrefs:
        return "OEPref.reg";
    case itemkind::kOEBlockedSenders:
        return "OEBSenders.reg";
    default:
        return nullptr;
    }
}

int COEData::Collect(std::string& catalogueName)
{
    m_ItemList.RemoveAll();
    const std::string guid = GetGuid();
    if (guid.empty() || m_strSettingsKey.empty())
        return result::kNoOERegistry;
    // An unattended run shows no tree: the saved choice decides, and without one
    // everything the identity has is taken.
    if (!m_Tree.IsFilled()) {
        FillTree();
        if (!FileExists(SelectionFile()))
            GetTree().CheckAll();
    }
    for (TvTreeItem item = GetTree().GetFirstCheckedItem(); item;
         item = GetTree().GetNextCheckedItem(item)) {
        if (IsStopRequested())
            return result::kAbortScan;
        const auto* tag = reinterpret_cast<const ItemTag*>(GetTree().GetItemData(item));
        if (!tag)
            continue;
        const int code = CollectItem(item, tag->kind, tag->value);
        if (code == result::kCancel)
            return code;
    }
    // The index goes with every backup of the identity: without it the mail
    // program knows none of the folders.
    if (AddOEFile(m_strIndexFile, itemkind::kOEMailFolders, {}) == result::kCancel)
        return result::kCancel;
    const std::string name = guid + kCatalogueExtension;
    if (!WriteCatalogue(name)) {
        WriteLog("Fail to create or open %s file", name.c_str());
        return result::kReadError;
    }
    catalogueName = name;
    return result::kSuccess;
}

int COEData::CollectItem(TvTreeItem item, std::uint32_t kind, std::uintptr_t value)
{
    switch (kind) {
    case itemkind::kOEAccounts: {
        const int code = CollectExport(item, itemkind::kOEAccounts);
        return code == result::kCancel ? code : CollectExport(item, itemkind::kOEIdentityAccounts);
    }
    case itemkind::kOERules:
    case itemkind::kOESignatures:
    case itemkind::kOEMailPrefs:
    case itemkind::kOEBlockedSenders:
        return CollectExport(item, kind);
    case itemkind::kOEMailFolders: {
        const auto* folder = reinterpret_cast<const CDbx5Folder*>(value);
        if (!folder || folder->m_strFullPath.empty())
            return result::kSuccess;
        return AddOEFile(folder->m_strFullPath, kind, item);
    }
    default:
        return result::kSuccess;
    }
}

int COEData::CollectExport(TvTreeItem item, std::uint32_t kind)
{
    // A key that does not exist gives no file: the item is left out without a word.
    CRegistryExport exporter(ExportFileName(kind), KeyOf(kind));
    const std::string path = exporter.WriteRegistryFileToTemp();
    if (path.empty())
        return result::kSuccess;
    return AddOEFile(path, kind, item);
}

int COEData::AddOEFile(const std::string& path, std::uint32_t kind, TvTreeItem item)
{
    if (path.empty())
        return result::kSkip;
    const int code = CheckFileLoop(path);
    if (code != result::kSuccess)
        return code;
    struct stat st
    {
    };
    if (stat(path.c_str(), &st) != 0)
        st = {};
    const bool folder = S_ISDIR(st.st_mode);
    auto info = std::make_unique<CAddInfo>(path, kind, folder,
                                           folder ? 0 : static_cast<std::uint64_t>(st.st_size));
    info->m_strEntryName = EntryFolderOf(kind) + "\\" + path.substr(path.rfind('/') + 1);
    info->m_strTreePath = item ? TreePathOf(item) : std::string();
    m_ItemList.Add(std::move(info));
    return result::kSuccess;
}

std::string COEData::EntryFolderOf(std::uint32_t kind) const
{
    const std::string folder = std::string(kArchiveFolder) + "\\" + GetGuid();
    const std::string sub = itemkind::GetArchiveFolder(kind);
    return sub.empty() ? folder : folder + "\\" + sub;
}
