#include "ApplicationsData.h"

#include "FileWalk.h"
#include "ItemKinds.h"
#include "ResultCodes.h"
#include "StoredName.h"

#include "CaseFold.h"
#include "CheckTreeModel.h"
#include "ProjectData.h"
#include "ResourceLibrary.h"

namespace {

constexpr unsigned kTextNoApplications = 125;
constexpr unsigned kTextApplications = 126;

} // namespace

CApplicationsData::CApplicationsData() : CStoredFilesSource(kCatalogueName)
{
    SetTree(nullptr);
    BuildTable();
}

CApplicationsData::~CApplicationsData() = default;

int CApplicationsData::BuildTable()
{
    m_Selected.clear();
    m_Table.clear();
    for (const ApplicationRow& row : GetApplicationTable()) {
        auto application = std::make_unique<CDataApplicationObject>(row);
        Detect(*application);
        m_Table.push_back(std::move(application));
    }
    return 1;
}

void CApplicationsData::SetTree(CCheckTreeModel* tree)
{
    m_Tree.Set(tree);
}

void CApplicationsData::Reset()
{
    m_Tree.Clear();
    CStoredFilesSource::Reset();
    BuildTable();
}

bool CApplicationsData::IsPresent() const
{
    for (const auto& application : m_Table)
        if (application->IsPresent())
            return true;
    return false;
}

int CApplicationsData::FillTree()
{
    m_Tree.Get().DeleteAllItems();
    ClearTags();
    m_Tree.SetFilled();
    if (m_Table.empty()) {
        const TvTreeItem top = m_Tree.Get().InsertItem(LoadResString(kTextNoApplications), {},
                                                   kTvItemLast, tvcheck::kUnavailable);
        m_Tree.Get().SetItemData(top, reinterpret_cast<std::uintptr_t>(NewTag(0, itemkind::kProviderRoot)));
        return result::kSuccess;
    }
    const TvTreeItem top = m_Tree.Get().InsertItem(LoadResString(kTextApplications));
    m_Tree.Get().SetItemData(top, reinterpret_cast<std::uintptr_t>(NewTag(0, itemkind::kProviderRoot)));
    for (const auto& application : m_Table) {
        // Restore mode offers what the backup holds, backup mode what is here.
        const bool offered = m_nMode == 1 ? !application->GetItemList().IsEmpty()
                                          : application->IsPresent();
        if (!offered)
            continue;
        const TvTreeItem item = m_Tree.Get().InsertItem(application->GetDisplayName(), top);
        const auto value = reinterpret_cast<std::uintptr_t>(application.get());
        m_Tree.Get().SetItemData(item, reinterpret_cast<std::uintptr_t>(NewTag(value, itemkind::kApplication)));
        m_Tree.Get().SetCheckStringState(item, application->GetDisplayName());
    }
    const std::string saved = g_ProjectData.GetPathInJobFolder(kSelectionName);
    if (m_nMode != 1 && !saved.empty())
        m_Tree.Get().LoadCheckStateFromFile(saved);
    return result::kSuccess;
}

CDataApplicationObject* CApplicationsData::ApplicationOf(TvTreeItem item) const
{
    const auto* tag = reinterpret_cast<const ItemTag*>(m_Tree.Get().GetItemData(item));
    if (!tag || tag->kind != itemkind::kApplication)
        return nullptr;
    return reinterpret_cast<CDataApplicationObject*>(tag->value);
}

void CApplicationsData::SaveSelection()
{
    const std::string path = g_ProjectData.GetPathInJobFolder(kSelectionName);
    if (m_Tree.IsFilled() && m_nMode != 1 && !path.empty())
        m_Tree.Get().SaveCheckStateToFile(path);
}

int CApplicationsData::Collect(std::string& catalogueName)
{
    m_ItemList.RemoveAll();
    m_Selected.clear();
    if (!m_Tree.IsFilled())
        FillTree();
    for (TvTreeItem item = m_Tree.Get().GetFirstCheckedItem(); item;
         item = m_Tree.Get().GetNextCheckedItem(item)) {
        CDataApplicationObject* application = ApplicationOf(item);
        if (!application)
            continue;
        const int code = CollectApplication(*application);
        if (code != result::kSuccess)
            return code;
        m_Selected.push_back(application);
    }
    return FinishCollect(catalogueName);
}

int CApplicationsData::CollectApplication(CDataApplicationObject& application)
{
    CAutoObArray<CAddInfo>& items = application.GetItemList();
    items.RemoveAll();
    const std::size_t first = m_ItemList.GetSize();
    const std::string folder = application.GetFolder();
    const std::string archiveFolder = application.GetArchiveFolder();
    int code = result::kSuccess;
    CFileWalk::Walk(
        folder,
        [&](const std::string& path, const std::string& relative, const struct stat& st) {
            if (IsStopRequested()) {
                code = result::kAbortScan;
                return CFileWalk::Step::Stop;
            }
            std::string below = relative;
            for (char& c : below)
                if (c == '/')
                    c = '\\';
            const int added = AddStoredFile(path, archiveFolder + "\\" + below, &st);
            if (added == result::kCancel) {
                code = added;
                return CFileWalk::Step::Stop;
            }
            return CFileWalk::Step::Go;
        },
        [this](const std::string& path, const struct stat& st) {
            if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || S_ISCHR(st.st_mode) ||
                S_ISBLK(st.st_mode))
                Log("Skip " + path + ": not a regular file");
            else if (st.st_mode == 0)
                Log("Skip " + path + ": it cannot be read");
        });
    // The application keeps a copy of its entries; the source's list goes to the run.
    for (std::size_t i = first; i < m_ItemList.GetSize(); ++i)
        items.Add(std::make_unique<CAddInfo>(*m_ItemList[i]));
    return code;
}

int CApplicationsData::SelectedItems(CAutoObArray<CAddInfo>& items)
{
    for (CDataApplicationObject* application : m_Selected)
        for (const CAddInfo* info : application->GetItemList())
            items.Add(std::make_unique<CAddInfo>(*info));
    return 1;
}

std::string CApplicationsData::ShortNameOf(const std::string& entryName)
{
    const auto below = StoredNameBelow(entryName, "APP");
    if (!below)
        return {};
    const std::size_t slash = below->find('\\');
    return slash == std::string::npos ? std::string() : below->substr(0, slash);
}

CDataApplicationObject* CApplicationsData::FindByShortName(const std::string& name) const
{
    for (const auto& application : m_Table)
        if (EqualsNoCase(application->GetShortName(), name))
            return application.get();
    return nullptr;
}

int CApplicationsData::LoadForRestore(const CatalogueExtract& extract)
{
    for (const auto& application : m_Table)
        application->GetItemList().RemoveAll();
    const int code = ReadStoredCatalogue(extract);
    if (code != result::kSuccess)
        return code;
    for (const CAddInfo* stored : m_ItemList) {
        CDataApplicationObject* application = FindByShortName(ShortNameOf(stored->m_strEntryName));
        if (!application) {
            RefuseStored(*stored, "it belongs to no application this program knows");
            continue;
        }
        application->GetItemList().Add(std::make_unique<CAddInfo>(*stored));
    }
    return FillTree();
}

int CApplicationsData::PlanRestore()
{
    for (TvTreeItem item = m_Tree.Get().GetFirstCheckedItem(); item;
         item = m_Tree.Get().GetNextCheckedItem(item)) {
        CDataApplicationObject* application = ApplicationOf(item);
        if (!application)
            continue;
        const std::string folder = application->GetFolder();
        for (const CAddInfo* stored : application->GetItemList())
            PlanBelow(*stored, application->GetArchiveFolder(), folder);
    }
    return result::kSuccess;
}
