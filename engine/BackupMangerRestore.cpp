// Restore: opening a backup, its catalogue and the restore tree.
#include "BackupManger.h"

#include "ItemKinds.h"
#include "MainCatalogue.h"
#include "ProjectData.h"
#include "ResultCodes.h"

#include "CheckTreeModel.h"
#include "Prompt.h"
#include "ResourceLibrary.h"
#include "WriteLog.h"
#include "ZipException.h"

#include <sys/stat.h>

namespace {

constexpr unsigned kTextWrongPassword = 220;
constexpr unsigned kTextOutlook = 103;
constexpr unsigned kTextIdentities = 113;
constexpr unsigned kTextFavorites = 121;
constexpr unsigned kTextAddressBook = 123;
constexpr unsigned kTextFonts = 170;
constexpr unsigned kTextApplications = 126;

bool PathExists(const std::string& path)
{
    struct stat st
    {
    };
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

// The tree text of a source node; 0 for kinds that get none.
unsigned NodeTextOf(std::uint32_t kind)
{
    switch (kind) {
    case itemkind::kOutlook:
        return kTextOutlook;
    case itemkind::kFavorites:
        return kTextFavorites;
    case itemkind::kAddressBook:
        return kTextAddressBook;
    case itemkind::kFonts:
        return kTextFonts;
    case itemkind::kApplications:
        return kTextApplications;
    default:
        return 0;
    }
}

} // namespace

int CBackupManger::OpenBackup(const std::string& path)
{
    if (!PathExists(path))
        return result::kInvalidBackup;
    JoinWorker();
    g_ProjectData.ClearWorkFolder();
    g_ProjectData.SetRestoreSourcePath(path);
    const int opened = OpenRestoreArchive(path);
    if (opened != result::kSuccess)
        return opened;

    const std::vector<std::string> names{CMainCatalogue::kMainDataName,
                                         CMainCatalogue::kTreeObjName};
    for (int round = 1;; ++round) {
        const int extracted = ExtractCatalogueFiles(names, {});
        if (extracted != result::kBadPassword)
            return extracted;
        if (round > 1)
            Prompt().MessageBox(LoadResString(kTextWrongPassword), MB_OK | MB_ICONERROR);
        std::string password;
        if (!Prompt().AskPassword("Password of the backup " + path, password)) {
            g_ProjectData.SetPassword({});
            return result::kBadPassword;
        }
        g_ProjectData.SetPassword(password);
    }
}

int CBackupManger::OpenRestoreArchive(const std::string& path)
{
    Close();
    m_Archive.GetStorage().m_pDiskCallback = &m_DiskCallback;
    m_Progress.m_pOwner = this;
    m_Progress.m_pNotify = nullptr;
    m_Progress.m_RunningEvent.Set();
    // A cancelled restore leaves the cancel event set; the catalogue must not be
    // refused because of it.
    m_Progress.Begin(0);
    int code = result::kSuccess;
    try {
        m_Archive.SetBuffers(kWriteBuffer, kGeneralBuffer, kSearchBuffer);
        m_Archive.Open(path, CZipContainer::ArcOpenReadOnly, 0);
        const std::string& password = g_ProjectData.GetPassword();
        if (!password.empty())
            m_Archive.SetPassword(password);
    } catch (const CZipException& e) {
        if (e.GetCause() == CZipException::ErrBadPassword) {
            code = result::kBadPassword;
        } else {
            Prompt().MessageBox(e.what(), MB_OK | MB_ICONERROR);
            code = result::kExtractError;
        }
    }
    m_Progress.End();
    return code;
}

int CBackupManger::ExtractCatalogueFiles(const std::vector<std::string>& names,
                                         const std::string& folder)
{
    const std::string target = folder.empty() ? g_ProjectData.GetWorkFolder() : folder;
    if (m_Archive.IsClosed() || target.empty())
        return result::kExtractError;
    // Always set, even when empty: a password refused in an earlier round must not
    // stay with the archive.
    m_Archive.SetPassword(g_ProjectData.GetPassword());
    try {
        std::vector<int> indexes;
        m_Archive.GetIndexes(names, indexes);
        for (const int index : indexes)
            m_Archive.ExtractFile(index, target, false, {}, kGeneralBuffer);
    } catch (const CZipException& e) {
        if (e.GetCause() == CZipException::ErrBadPassword)
            return result::kBadPassword;
        Prompt().MessageBox(e.what(), MB_OK | MB_ICONERROR);
        return result::kExtractError;
    }
    return result::kSuccess;
}

int CBackupManger::ReadMainCatalogue()
{
    std::string error;
    return CMainCatalogue::Read(g_ProjectData.GetWorkFolder(), m_strRootText, m_CatalogueList,
                                error);
}

void CBackupManger::BuildRestoreTree(CCheckTreeModel* tree)
{
    // The tree is emptied before the tags its nodes point at are freed.
    if (tree)
        tree->DeleteAllItems();
    m_pRestoreTree = tree;
    m_RestoreTags.clear();
    if (!tree)
        return;
    auto tag = [this](std::uintptr_t value, std::uint32_t kind) {
        m_RestoreTags.push_back(std::make_unique<ItemTag>(ItemTag{value, kind}));
        return reinterpret_cast<std::uintptr_t>(m_RestoreTags.back().get());
    };
    const TvTreeItem root = tree->InsertItem(m_strRootText, {}, kTvItemLast, tvcheck::kUnavailable);
    tree->SetItemData(root, tag(0, itemkind::kRoot));
    TvTreeItem group;
    for (CBackupTreeItem* item : m_CatalogueList) {
        const auto value = reinterpret_cast<std::uintptr_t>(item);
        TvTreeItem node;
        if (item->m_dwKind == itemkind::kOEIdentity) {
            if (!group) {
                group = tree->InsertItem(LoadResString(kTextIdentities), root, kTvItemLast,
                                         tvcheck::kUnavailable);
                tree->SetItemData(group, tag(0, itemkind::kOEGroup));
            }
            node = tree->InsertItem(item->m_strDisplayName, group);
        } else if (const unsigned text = NodeTextOf(item->m_dwKind); text != 0) {
            node = tree->InsertItem(LoadResString(text), root);
        }
        if (node)
            tree->SetItemData(node, tag(value, item->m_dwKind));
    }
}

CBackupMangerSource* CBackupManger::RestoreSourceOf(std::uint32_t kind) const
{
    return kind == itemkind::kMyFiles ? m_pMyFiles.get() : GetSource(kind);
}

int CBackupManger::LoadSourcesForRestore()
{
    const auto extract = [this](const std::string& name, std::string& path) {
        path = g_ProjectData.GetPathInWorkFolder(name);
        return ExtractCatalogueFiles({name}, {});
    };
    int first = result::kSuccess;
    for (const CBackupTreeItem* item : m_CatalogueList) {
        // Identities are loaded as their nodes are opened; kinds without a source
        // have no node either.
        CBackupMangerSource* source =
            item->m_dwKind == itemkind::kOEIdentity ? nullptr : RestoreSourceOf(item->m_dwKind);
        if (!source)
            continue;
        const int loaded = source->LoadForRestore(extract);
        if (loaded == result::kSuccess)
            continue;
        m_Report.WriteFormatted("Fail to read the catalogue %s of the backup: %s",
                                item->m_strCatalogueFile.c_str(), result::GetName(loaded));
        if (first == result::kSuccess)
            first = loaded;
    }
    return first;
}

void CBackupManger::SetRestoreIdentity(const std::string& catalogueName,
                                       std::unique_ptr<CRestoreIdentity> identity)
{
    if (!identity) {
        m_IdentityMap.erase(catalogueName);
        return;
    }
    InstallFileCheck(*identity);
    m_IdentityMap[catalogueName] = std::move(identity);
}

CRestoreIdentity* CBackupManger::GetRestoreIdentity(const std::string& catalogueName) const
{
    const auto found = m_IdentityMap.find(catalogueName);
    return found == m_IdentityMap.end() ? nullptr : found->second.get();
}

void CBackupManger::SetRegistryImportHook(RegistryImportHook hook)
{
    m_RegistryImport = std::move(hook);
}
