// The Outlook source's tree and the choice kept with the job.
#include "OutlookData.h"

#include "ItemKinds.h"
#include "ResultCodes.h"

#include "CheckTreeModel.h"
#include "ProjectData.h"
#include "ResourceLibrary.h"

namespace {

constexpr unsigned kTextOutlook = 103;
constexpr unsigned kTextPersonal = 106;
constexpr unsigned kTextSettings = 107;
constexpr unsigned kTextSignatures = 108;
constexpr unsigned kTextStationery = 109;
constexpr unsigned kTextForms = 112;
constexpr unsigned kTextRegistry = 211;

struct RegistryItem
{
    std::uint32_t kind;
    unsigned textId;
};

constexpr RegistryItem kRegistryItems[] = {
    {itemkind::kOLRegAccounts, 212},
    {itemkind::kOLRegOptions, 213},
    {itemkind::kOLRegCategories, 214},
};

} // namespace

int COutlookData::FillTree()
{
    m_Tree.Get().DeleteAllItems();
    ClearTags();
    m_Tree.SetFilled();
    if (m_nMode == 1)
        FillRestoreTree();
    else
        FillBackupTree();
    return result::kSuccess;
}

TvTreeItem COutlookData::AddTagged(const std::string& text, TvTreeItem parent, std::uintptr_t value,
                                   std::uint32_t kind, const std::string& key)
{
    const TvTreeItem item = m_Tree.Get().InsertItem(text, parent);
    m_Tree.Get().SetItemData(item, reinterpret_cast<std::uintptr_t>(NewTag(value, kind)));
    m_Tree.Get().SetCheckStringState(item, key);
    return item;
}

void COutlookData::AddFileGroup(TvTreeItem top, unsigned textId, std::uint32_t kind)
{
    // Groups carry no tag: only their files are collected. Keys: groups by their
    // text, files by their path, so a choice survives files coming and going.
    const std::string text = LoadResString(textId);
    const TvTreeItem group = m_Tree.Get().InsertItem(text, top);
    m_Tree.Get().SetCheckStringState(group, text);
    for (const OutlookFile& file : GetFiles(kind))
        AddTagged(file.name, group, reinterpret_cast<std::uintptr_t>(&file), kind, file.path);
}

void COutlookData::FillBackupTree()
{
    const std::string outlook = LoadResString(kTextOutlook);
    const TvTreeItem top = AddTagged(outlook, {}, 0, itemkind::kProviderRoot, outlook);
    AddFileGroup(top, kTextPersonal, itemkind::kOLPersonal);
    AddFileGroup(top, kTextSettings, itemkind::kOLSettings);
    if (!GetFiles(itemkind::kOLSignatures).empty())
        AddFileGroup(top, kTextSignatures, itemkind::kOLSignatures);
    if (!GetFiles(itemkind::kOLStationery).empty())
        AddFileGroup(top, kTextStationery, itemkind::kOLStationery);
    if (!GetFiles(itemkind::kOLForms).empty())
        AddFileGroup(top, kTextForms, itemkind::kOLForms);
    if (!m_strAccountsKey.empty() || !m_strOptionsKey.empty() || !m_strCategoriesKey.empty()) {
        const std::string registry = LoadResString(kTextRegistry);
        const TvTreeItem keys = AddTagged(registry, {}, 0, itemkind::kProviderRoot, registry);
        for (const RegistryItem& item : kRegistryItems)
            if (!KeyOf(item.kind).empty()) {
                const std::string text = LoadResString(item.textId);
                AddTagged(text, keys, 0, item.kind, text);
            }
    }
    m_Tree.Get().CheckAll();
    const std::string saved = g_ProjectData.GetPathInJobFolder(kSelectionName);
    if (!saved.empty())
        m_Tree.Get().LoadCheckStateFromFile(saved);
}

void COutlookData::FillRestoreTree()
{
    // The items of the backup as they were shown then; each one's data is its
    // stored entry.
    CDataSource::FillTree(m_Tree.Get(), {});
    m_Tree.Get().CheckAll();
}

std::string COutlookData::TreePathOf(TvTreeItem item) const
{
    std::string path;
    for (; item; item = m_Tree.Get().GetParentItem(item))
        path = m_Tree.Get().GetItemText(item) + (path.empty() ? "" : "\\" + path);
    return path;
}

void COutlookData::SaveSelection()
{
    const std::string path = g_ProjectData.GetPathInJobFolder(kSelectionName);
    if (m_Tree.IsFilled() && m_nMode != 1 && !path.empty())
        m_Tree.Get().SaveCheckStateToFile(path);
}
