#include "Dbx5FolderReader.h"

#include "CheckTreeModel.h"
#include "DataSource.h"
#include "Dbx5FolderNesting.h"
#include "ResourceLibrary.h"

namespace {

// The caption when the text library has none (tests, a missing library).
constexpr const char* kDefaultCaption = "Mail folders";

} // namespace

TvTreeItem CDbx5FolderReader::FillTree(CCheckTreeModel& tree, TvTreeItem parent,
                                       bool showCheckBoxes)
{
    std::string caption = LoadResString(kTextFolderTree);
    if (caption.empty())
        caption = kDefaultCaption;
    const int state = showCheckBoxes ? tvcheck::kUnchecked : tvcheck::kNone;
    const TvTreeItem top = tree.InsertItem(caption, parent, kTvItemLast, state);
    if (!top)
        return {};
    tree.SetCheckStringState(top, caption);

    std::vector<const CDbx5Folder*> folders;
    for (const auto& folder : m_Folders)
        folders.push_back(folder.get());
    const CDbx5FolderNesting nesting(folders);
    std::vector<TvTreeItem> items(m_Folders.size());
    for (const CDbx5FolderNesting::CPlacement& placement : nesting.GetPlacements()) {
        const TvTreeItem under =
            placement.parent == CDbx5FolderNesting::kTop ? top : items[placement.parent];
        items[placement.folder] =
            InsertFolder(tree, under, *m_Folders[placement.folder], showCheckBoxes);
    }
    ReportNesting(nesting);
    tree.CheckItemChildern(top);
    return top;
}

TvTreeItem CDbx5FolderReader::InsertFolder(CCheckTreeModel& tree, TvTreeItem parent,
                                           CDbx5Folder& folder, bool showCheckBoxes)
{
    const int state = showCheckBoxes ? tvcheck::kUnchecked : tvcheck::kNone;
    const TvTreeItem item =
        tree.InsertItem(folder.m_FolderName.value_or(std::string()), parent, kTvItemLast, state);
    if (!item)
        return {};
    if (m_pTagSource) {
        const ItemTag* tag =
            m_pTagSource->NewTag(reinterpret_cast<std::uintptr_t>(&folder), kFolderKind);
        tree.SetItemData(item, reinterpret_cast<std::uintptr_t>(tag));
    }
    tree.SetCheckStringState(item, folder.m_strFullPath);
    return item;
}

void CDbx5FolderReader::ReportNesting(const CDbx5FolderNesting& nesting)
{
    for (const std::size_t orphan : nesting.GetOrphans()) {
        const CDbx5Folder& folder = *m_Folders[orphan];
        m_ReportLines.push_back("Mail folder " + folder.Describe() + ": its parent folder #" +
                                std::to_string(folder.m_nParentIndex) +
                                " is missing; it is listed at the top");
    }
    for (const std::size_t deep : nesting.GetTooDeep()) {
        m_ReportLines.push_back("Mail folder " + m_Folders[deep]->Describe() + ": nested more than " +
                                std::to_string(CDbx5FolderNesting::kMaxDepth) +
                                " levels deep; it is listed at the top");
    }
    for (const std::size_t cycle : nesting.GetCycles()) {
        m_ReportLines.push_back("Mail folder " + m_Folders[cycle]->Describe() +
                                ": its parent folders lead back to itself; it is listed at the top");
    }
}
