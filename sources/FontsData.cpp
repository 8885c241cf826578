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
    m_List.Set(list);
}

void CFontsData::Reset()
{
    // The list's items point at stored entries that go with the item list.
    m_List.Clear();
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
    m_List.Get().DeleteAllItems();
    if (m_nMode == 1)
        ShowStored();
    else
        ShowFolder();
    m_List.SetFilled();
    return result::kSuccess;
}

void CFontsData::ShowFolder()
{
    for (const std::string& name : ListFontFiles(m_strFolder)) {
        const TvTreeItem item = m_List.Get().InsertItem(name);
        m_List.Get().SetCheckStringState(item, name);
    }
    const std::string saved = g_ProjectData.GetPathInJobFolder(kSelectionName);
    if (!saved.empty())
        m_List.Get().LoadCheckStateFromFile(saved);
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
        const TvTreeItem item = m_List.Get().InsertItem(parts->front());
        m_List.Get().SetItemData(item, reinterpret_cast<std::uintptr_t>(stored));
    }
}

void CFontsData::SaveSelection()
{
    const std::string path = g_ProjectData.GetPathInJobFolder(kSelectionName);
    if (m_List.IsFilled() && m_nMode != 1 && !path.empty())
        m_List.Get().SaveCheckStateToFile(path);
}

int CFontsData::Collect(std::string& catalogueName)
{
    m_ItemList.RemoveAll();
    // An unattended run shows no list: the saved choice decides.
    if (!m_List.IsFilled() && Show() != result::kSuccess)
        return result::kNoFonts;
    for (TvTreeItem item = m_List.Get().GetRootItem(); item; item = m_List.Get().GetNextSiblingItem(item)) {
        if (!m_List.Get().IsItemChecked(item))
            continue;
        if (IsStopRequested())
            return result::kAbortScan;
        const std::string name = m_List.Get().GetItemText(item);
        const int code = AddStoredFile(m_strFolder + "/" + name, std::string(kArchiveFolder) + "\\" + name);
        if (code == result::kCancel)
            return code;
    }
    return FinishCollect(catalogueName);
}

int CFontsData::LoadForRestore(const CatalogueExtract& extract)
{
    m_List.Get().DeleteAllItems();
    const int code = ReadStoredCatalogue(extract);
    if (code != result::kSuccess)
        return code;
    return Show();
}

int CFontsData::PlanRestore()
{
    for (TvTreeItem item = m_List.Get().GetRootItem(); item; item = m_List.Get().GetNextSiblingItem(item)) {
        const auto* stored = reinterpret_cast<const CAddInfo*>(m_List.Get().GetItemData(item));
        if (stored && m_List.Get().IsItemChecked(item))
            PlanBelow(*stored, kArchiveFolder, m_strFolder);
    }
    return result::kSuccess;
}
