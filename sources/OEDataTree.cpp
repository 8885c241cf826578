// The identity's tree and the choice kept with the job.
#include "OEData.h"

#include "ItemKinds.h"

#include "CheckTreeModel.h"
#include "ProjectData.h"
#include "ResourceLibrary.h"
#include "WriteLog.h"

namespace {

constexpr unsigned kTextOutlookExpress = 167;
constexpr const char* kSelectionExtension = ".xsel";

struct SettingsItem
{
    unsigned textId;
    std::uint32_t kind;
};

constexpr SettingsItem kSettingsItems[] = {
    {161, itemkind::kOEAccounts},  {164, itemkind::kOERules},      {162, itemkind::kOEBlockedSenders},
    {163, itemkind::kOEMailPrefs}, {166, itemkind::kOESignatures},
};

} // namespace

void COEData::SetTree(CCheckTreeModel* tree)
{
    m_Tree.Set(tree);
}

int COEData::FillTree()
{
    m_Tree.Clear();
    ClearTags();
    m_Tree.SetFilled();
    if (m_nMode == 1) {
        // The items of the backup as they were shown then; each one's data is its
        // stored entry.
        CDataSource::FillTree(GetTree(), {});
        GetTree().CheckAll();
        return 1;
    }
    const bool indexRead = ReadFolderIndex();
    FillBackupTree();
    return indexRead ? 1 : 0;
}

bool COEData::ReadFolderIndex()
{
    m_FolderReader.Clear();
    m_FolderReader.SetPaths(m_strIndexFile, m_strStoreFolder, this);
    if (m_FolderReader.Read(&GetTree(), {}, true)) {
        for (const std::string& line : m_FolderReader.GetReportLines())
            Log(line);
        if (!m_FolderReader.GetError().empty())
            Log("Mail folders of " + m_strIdentityName + ": " + m_FolderReader.GetError());
        return true;
    }
    WriteLog("Fail to read folders.dbx file");
    WriteLog("Path : %s", m_strIndexFile.c_str());
    return false;
}

void COEData::FillBackupTree()
{
    // The settings are offered also when the mail folders cannot be read: they live
    // in the registry, not in the store.
    CCheckTreeModel& tree = GetTree();
    const std::string top = LoadResString(kTextOutlookExpress);
    const TvTreeItem topItem = tree.InsertItem(top, {});
    tree.SetItemData(topItem, reinterpret_cast<std::uintptr_t>(NewTag(0, itemkind::kProviderRoot)));
    tree.SetItemBold(topItem, true);
    tree.SetCheckStringState(topItem, top);
    for (const SettingsItem& settings : kSettingsItems) {
        const std::string text = LoadResString(settings.textId);
        const TvTreeItem item = tree.InsertItem(text, topItem);
        tree.SetItemData(item, reinterpret_cast<std::uintptr_t>(NewTag(0, settings.kind)));
        // Keyed by their texts, so the choice comes back in the next run.
        tree.SetCheckStringState(item, text);
    }
    tree.SetItemCheckState(topItem, tvcheck::kChecked);
    tree.CheckItemChildern(topItem);
    const std::string saved = SelectionFile();
    if (!saved.empty())
        tree.LoadCheckStateFromFile(saved);
}

std::string COEData::SelectionFile() const
{
    const std::string guid = GetGuid();
    return guid.empty() ? std::string() : g_ProjectData.GetPathInJobFolder(guid + kSelectionExtension);
}

void COEData::SaveSelection()
{
    const std::string path = SelectionFile();
    if (m_Tree.IsFilled() && m_nMode != 1 && !path.empty())
        GetTree().SaveCheckStateToFile(path);
}

std::string COEData::TreePathOf(TvTreeItem item) const
{
    std::string path;
    for (; item; item = GetTree().GetParentItem(item))
        path = GetTree().GetItemText(item) + (path.empty() ? "" : "\\" + path);
    return path;
}
