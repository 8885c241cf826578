#include "FontsData.h"

#include "ResultCodes.h"
#include "StoredName.h"

#include "CheckTreeModel.h"
#include "FolderTools.h"
#include "ProjectData.h"
#include "XdgFolders.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace {

// fontconfig may leave cache files among the fonts ("fonts.cache-1" of older
// versions; ".uuid" is hidden anyway): they are rebuilt, never restored.
bool IsFontFileName(const std::string& name)
{
    return !name.empty() && name.front() != '.' && name.rfind("fonts.cache-", 0) != 0;
}

std::vector<std::string> ListFontFiles(const std::string& folder)
{
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        struct stat st
        {
        };
        if (IsFontFileName(name) && lstat((folder + "/" + name).c_str(), &st) == 0 &&
            S_ISREG(st.st_mode))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

CFontsData::CFontsData() : CStoredFilesSource(kCatalogueName)
{
    SetList(nullptr);
    m_strFolder = CXdgFolders::GetFolder(CSIDL_FONTS);
}

CFontsData::~CFontsData() = default;

void CFontsData::SetList(CCheckTreeModel* list)
{
    if (!list) {
        if (!m_pOwnList)
            m_pOwnList = std::make_unique<CCheckTreeModel>();
        list = m_pOwnList.get();
    }
    m_pList = list;
    m_bShown = false;
}

void CFontsData::Reset()
{
    // The list's items point at stored entries that go with the item list.
    m_pList->DeleteAllItems();
    m_bShown = false;
    CStoredFilesSource::Reset();
    m_strFolder = CXdgFolders::GetFolder(CSIDL_FONTS);
}

bool CFontsData::IsPresent() const
{
    struct stat st
    {
    };
    return stat(m_strFolder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int CFontsData::Show()
{
    if (m_strFolder.empty())
        return result::kNoFonts;
    m_pList->DeleteAllItems();
    if (m_nMode == 1)
        ShowStored();
    else
        ShowFolder();
    m_bShown = true;
    return result::kSuccess;
}

void CFontsData::ShowFolder()
{
    for (const std::string& name : ListFontFiles(m_strFolder)) {
        const TvTreeItem item = m_pList->InsertItem(name);
        m_pList->SetCheckStringState(item, name);
    }
    const std::string saved = g_ProjectData.GetPathInJobFolder(kSelectionName);
    if (!saved.empty())
        m_pList->LoadCheckStateFromFile(saved);
}

void CFontsData::ShowStored()
{
    for (CAddInfo* stored : m_ItemList) {
        const auto below = StoredNameBelow(stored->m_strEntryName, kArchiveFolder);
        const auto parts = below ? SplitStoredName(*below) : std::nullopt;
        // A font lives directly in the fonts folder: any other name was not made here.
        if (!parts || parts->size() != 1) {
            RefuseStored(*stored, "its name leads outside the fonts folder");
            continue;
        }
        const TvTreeItem item = m_pList->InsertItem(parts->front());
        m_pList->SetItemData(item, reinterpret_cast<std::uintptr_t>(stored));
    }
}

void CFontsData::SaveSelection()
{
    const std::string path = g_ProjectData.GetPathInJobFolder(kSelectionName);
    if (m_bShown && m_nMode != 1 && !path.empty())
        m_pList->SaveCheckStateToFile(path);
}

int CFontsData::Collect(std::string& catalogueName)
{
    m_ItemList.RemoveAll();
    // An unattended run shows no list: the saved choice decides.
    if (!m_bShown && Show() != result::kSuccess)
        return result::kNoFonts;
    for (TvTreeItem item = m_pList->GetRootItem(); item; item = m_pList->GetNextSiblingItem(item)) {
        if (!m_pList->IsItemChecked(item))
            continue;
        if (IsStopRequested())
            return result::kAbortScan;
        const std::string name = m_pList->GetItemText(item);
        const int code = AddStoredFile(m_strFolder + "/" + name, std::string(kArchiveFolder) + "\\" + name);
        if (code == result::kCancel)
            return code;
    }
    return FinishCollect(catalogueName);
}

int CFontsData::LoadForRestore(const CatalogueExtract& extract)
{
    m_pList->DeleteAllItems();
    const int code = ReadStoredCatalogue(extract);
    if (code != result::kSuccess)
        return code;
    return Show();
}

int CFontsData::PlanRestore()
{
    for (TvTreeItem item = m_pList->GetRootItem(); item; item = m_pList->GetNextSiblingItem(item)) {
        const auto* stored = reinterpret_cast<const CAddInfo*>(m_pList->GetItemData(item));
        if (stored && m_pList->IsItemChecked(item))
            PlanBelow(*stored, kArchiveFolder, m_strFolder);
    }
    return result::kSuccess;
}
