#include "MyFilesData.h"

#include "CaseFold.h"
#include "CheckTreeModel.h"
#include "ResultCodes.h"

// The restore side: the tree of the stored paths and the plan.

namespace {

std::vector<std::string> TreeComponents(const std::string& treePath)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= treePath.size()) {
        const std::size_t end = std::min(treePath.find('\\', start), treePath.size());
        if (end > start)
            parts.push_back(treePath.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

} // namespace

void CMyFilesData::RemoveRestoreItems()
{
    for (const TvTreeItem item : m_RestoreItems)
        m_pTree->DeleteItem(item);
    m_RestoreItems.clear();
    // Records of a parent's own node point at the old entries too.
    TvTreeItem item = m_pTree->GetRootItem();
    for (; item; item = m_pTree->GetNextItemEx(item))
        if (CFolderTreeNode* node = m_pFolders->GetNode(item); node && node->m_bRestore) {
            node->m_Files.clear();
            node->m_pStoredFolder = nullptr;
        }
    m_Stored.clear();
}

int CMyFilesData::LoadForRestore(TvTreeItem parent,
                                 const std::function<int(std::string& path)>& extract)
{
    std::string path;
    const int code = extract ? extract(path) : result::kExtractError;
    if (code != result::kSuccess)
        return code;
    return LoadForRestore(parent, path);
}

int CMyFilesData::LoadForRestore(const CatalogueExtract& extract)
{
    return LoadForRestore(TvTreeItem{}, [&extract](std::string& path) {
        return extract ? extract(kCatalogueName, path) : result::kExtractError;
    });
}

int CMyFilesData::LoadForRestore(TvTreeItem parent, const std::string& cataloguePath)
{
    RemoveRestoreItems();
    if (!ReadCatalogue(cataloguePath))
        return result::kExtractError;
    // The file records point at the entries, so they live here, apart from the item
    // list that the plan fills.
    for (const CAddInfo* info : m_ItemList)
        m_Stored.push_back(std::make_unique<CAddInfo>(*info));
    m_ItemList.RemoveAll();
    for (const auto& stored : m_Stored)
        AddStoredEntry(parent, *stored);
    return result::kSuccess;
}

TvTreeItem CMyFilesData::GetTopRestoreFolder()
{
    for (TvTreeItem item = m_pTree->GetRootItem(); item; item = m_pTree->GetNextSiblingItem(item))
        if (const CFolderTreeNode* node = m_pFolders->GetNode(item);
            node && node->m_bRestore && m_pTree->GetItemText(item) == "/")
            return item;
    const TvTreeItem item = m_pFolders->AddFolder({}, "/", "/", true);
    m_RestoreItems.push_back(item);
    return item;
}

void CMyFilesData::AddStoredEntry(TvTreeItem parent, CAddInfo& stored)
{
    const std::vector<std::string> parts = TreeComponents(stored.m_strTreePath);
    if (parts.empty())
        return;
    // A folder's entry belongs to the folder's own item, so a folder shows once
    // however many of its files were stored, and its entry is planned with it.
    const std::size_t folders = stored.m_dwDirectory ? parts.size() : parts.size() - 1;
    TvTreeItem item = parent;
    std::string path;
    for (std::size_t i = 0; i < folders; ++i) {
        path += (i ? "\\" : "") + parts[i];
        TvTreeItem child = m_pTree->GetChildItem(item);
        while (child &&
               !(m_pFolders->GetNode(child) && EqualsNoCase(m_pTree->GetItemText(child), parts[i])))
            child = m_pTree->GetNextSiblingItem(child);
        if (!child) {
            child = m_pFolders->AddFolder(item, parts[i], path, true);
            if (!child)
                return; // a stale parent
            if (item == parent)
                m_RestoreItems.push_back(child);
        }
        item = child;
    }
    // A file stored straight below the root has no folder item of its own.
    if (!item)
        item = GetTopRestoreFolder();
    CFolderTreeNode* node = m_pFolders->EnsureNode(item, path, true);
    if (!node)
        return;
    if (stored.m_dwDirectory) {
        // A second entry of the same folder adds nothing: the first is restored.
        if (!node->m_pStoredFolder)
            node->m_pStoredFolder = &stored;
        return;
    }
    CFolderTreeFile file;
    file.m_strName = parts.back();
    file.m_strPath = stored.m_strSourcePath;
    file.m_nSize = stored.m_dwSize;
    file.m_pStored = &stored;
    node->m_Files.push_back(std::move(file));
}

int CMyFilesData::PlanRestore()
{
    m_RestorePlan.RemoveAll();
    for (TvTreeItem item = m_pTree->GetRootItem(); item; item = m_pTree->GetNextItemEx(item)) {
        const CFolderTreeNode* node = m_pFolders->GetNode(item);
        if (!node || !node->m_bRestore || !m_pTree->IsItemCheckedOrSubChecked(item))
            continue;
        // The folder comes before its files: the restore makes it first and gives it
        // its mode and time once everything inside is written. A flat restore keeps
        // no folders.
        if (node->m_pStoredFolder && m_Target.GetLocationType() != 2 &&
            PlanStoredEntry(*node->m_pStoredFolder) == result::kCancel)
            return result::kCancel;
        for (const CFolderTreeFile& file : node->m_Files) {
            if (!file.IsChecked() || !file.m_pStored)
                continue;
            if (PlanStoredEntry(*file.m_pStored) == result::kCancel)
                return result::kCancel;
        }
    }
    return result::kSuccess;
}

// Adds the stored entry to the plan below its target folder; 7 (the plan emptied)
// when the user cancelled the question about a missing root.
int CMyFilesData::PlanStoredEntry(const CAddInfo& stored)
{
    const std::string name = CMyFilesRestoreTarget::Split(stored.m_strSourcePath).name;
    if (name.empty())
        return result::kSuccess; // nothing to name it by: a root is never restored over
    std::string folder;
    if (m_Target.GetTargetFolder(stored.m_strSourcePath, folder) == result::kCancel) {
        m_RestorePlan.RemoveAll();
        return result::kCancel;
    }
    if (folder.empty())
        return result::kSuccess;
    auto planned = std::make_unique<CAddInfo>();
    planned->m_strSourcePath = folder;
    planned->m_strTargetPath = CMyFilesRestoreTarget::Join(folder, {name});
    if (m_Target.GetLocationType() != 0)
        planned->m_strTargetRoot = m_Target.GetFolder();
    // The archive names a folder entry with a closing separator, which catalogues of
    // older backups lack; without it the folder is never found.
    planned->m_strEntryName = stored.m_strEntryName;
    if (stored.m_dwDirectory && !planned->m_strEntryName.empty() &&
        planned->m_strEntryName.back() != '\\')
        planned->m_strEntryName += '\\';
    planned->m_dwDirectory = stored.m_dwDirectory;
    planned->m_dwSize = stored.m_dwSize;
    planned->m_dwKind = kKind;
    m_RestorePlan.Add(std::move(planned));
    return result::kSuccess;
}
