#include "FolderFilesPane.h"

#include "CheckStates.h"
#include "CheckTreeItemModel.h"
#include "CheckedTreeWnd.h"
#include "FolderTree.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QListWidget>

using namespace tvcheck;

CFolderFilesPane::CFolderFilesPane(std::function<CFolderTree&()> folders, QWidget* parent)
    : QWidget(parent), m_folders(std::move(folders))
{
    m_tree = new CCheckedTreeWnd([this](TvTreeItem item) { OnChecked(item); }, this);
    m_tree->Intilize();
    m_tree->setHeaderHidden(true);
    m_files = new QListWidget(this);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_tree, 1);
    row->addWidget(m_files, 1);
    connect(m_tree, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { OpenAhead(CCheckTreeItemModel::ItemOf(index)); });
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        OpenAhead(m_tree->GetSelectedItem());
        ShowCurrentFiles();
    });
    connect(m_files, &QListWidget::itemChanged, this, &CFolderFilesPane::OnFileChanged);
}

CItemsTreeWnd* CFolderFilesPane::GetTree() const
{
    return m_tree;
}

void CFolderFilesPane::Clear()
{
    m_files->clear();
    m_listed = {};
    m_tree->DeleteAllItems();
}

void CFolderFilesPane::Select(TvTreeItem item)
{
    if (!item)
        return;
    m_tree->SelectItem(item);
    ListFiles(item);
}

// Lists the folder and its subfolders, so that each child shows whether it can be
// opened (restore folders are complete already and stay as they are).
// A backup folder may have changed on disk since it was first opened.
void CFolderFilesPane::ShowCurrentFiles()
{
    const TvTreeItem folder = m_tree->GetSelectedItem();
    Folders().RefreshFolder(folder);
    ListFiles(folder);
}

void CFolderFilesPane::OpenAhead(TvTreeItem item)
{
    if (!item)
        return;
    CCheckTreeModel& tree = m_tree->GetModel();
    Folders().OpenFolder(item);
    for (TvTreeItem child = tree.GetChildItem(item); child; child = tree.GetNextSiblingItem(child))
        Folders().OpenFolder(child);
}

void CFolderFilesPane::ListFiles(TvTreeItem folder)
{
    m_listing = true;
    m_files->clear();
    m_listed = folder;
    if (const CFolderTreeNode* node = Folders().GetNode(folder)) {
        for (const CFolderTreeFile& file : node->m_Files) {
            auto* entry = new QListWidgetItem(QString::fromStdString(file.m_strName), m_files);
            entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
            entry->setCheckState(file.IsChecked() ? Qt::Checked : Qt::Unchecked);
        }
    }
    m_listing = false;
}

void CFolderFilesPane::OnFileChanged(QListWidgetItem* entry)
{
    if (m_listing)
        return;
    CFolderTreeFile* file = Folders().FindFile(m_listed, entry->text().toStdString());
    if (!file)
        return;
    file->m_nState = entry->checkState() == Qt::Checked ? kChecked : kUnchecked;
    UpdateFolderState(m_listed);
}

// The folder shows what its files and subfolders hold; its ancestors follow.
void CFolderFilesPane::UpdateFolderState(TvTreeItem folder)
{
    CCheckTreeModel& tree = m_tree->GetModel();
    for (TvTreeItem at = folder; at; at = tree.GetParentItem(at)) {
        bool any = false;
        bool all = true;
        if (const CFolderTreeNode* node = Folders().GetNode(at))
            for (const CFolderTreeFile& file : node->m_Files) {
                any = any || file.IsChecked();
                all = all && file.IsChecked();
            }
        for (TvTreeItem child = tree.GetChildItem(at); child;
             child = tree.GetNextSiblingItem(child)) {
            const int state = tree.GetItemCheckState(child);
            any = any || IsCheckedOrSubChecked(state);
            all = all && state == kChecked;
        }
        tree.SetItemCheckState(at, !any ? kUnchecked : all ? kChecked : kPartial);
    }
}

void CFolderFilesPane::OnChecked(TvTreeItem item)
{
    Folders().CheckFolder(item, IsChecked(m_tree->GetModel().GetItemCheckState(item)));
    // The listed folder may lie below the one ticked: its files changed too.
    if (m_listed)
        ListFiles(m_listed);
}
