#include "MyFilesPage.h"

#include "CheckStates.h"
#include "CheckTreeItemModel.h"
#include "CheckedTreeWnd.h"
#include "FolderTree.h"
#include "ItemsTreeWnd.h"
#include "MyFilesData.h"
#include "PageIds.h"
#include "PageLayout.h"
#include "TvPropertiesPages.h"
#include "WizardContext.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace tvcheck;

CMyFilesPage::CMyFilesPage(CWizardContext& context) : CTvPageDlg(kDialogId), m_context(context)
{
    m_tree = new CCheckedTreeWnd([this](TvTreeItem item) { OnChecked(item); }, this);
    m_tree->Intilize();
    m_tree->setHeaderHidden(true);
    m_files = new QListWidget(this);
    m_back = new QPushButton(QStringLiteral("&Other data..."), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("My Files"), this));
    layout->addWidget(pagelayout::Plain(
        QStringLiteral("Tick the folders and files to back up. A ticked folder is backed up "
                       "with everything in it."),
        this));
    auto* row = new QHBoxLayout;
    row->addWidget(m_tree, 1);
    row->addWidget(m_files, 1);
    layout->addLayout(row, 1);
    layout->addWidget(m_back, 0, Qt::AlignRight);
    connect(m_tree, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { OpenAhead(CCheckTreeItemModel::ItemOf(index)); });
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        OpenAhead(m_tree->GetSelectedItem());
        ShowCurrentFiles();
    });
    connect(m_files, &QListWidget::itemChanged, this, &CMyFilesPage::OnFileChanged);
    connect(m_back, &QPushButton::clicked, this,
            [this] { pageid::PostGoTo(m_context.frame, pageid::kSelection); });
}

CFolderTree& CMyFilesPage::Folders() const
{
    return m_context.sources.myFiles->GetFolderTree();
}

void CMyFilesPage::Prepare()
{
    m_files->clear();
    m_listed = {};
    m_tree->DeleteAllItems();
    m_context.sources.myFiles->SetTree(&m_tree->GetModel());
    m_context.sources.myFiles->LoadSelection();
    Folders().GetRootFolder();
    if (const TvTreeItem home = Folders().ShowHomeFolder())
        m_tree->SelectItem(home);
}

void CMyFilesPage::OnSetActive()
{
    m_context.frame->SetBtnNextPage(pageid::kSettings);
    m_context.frame->SetBtnPrivousPage(pageid::kMedium);
    if (!m_tree->GetModel().GetRootItem())
        Prepare();
    else
        ShowCurrentFiles();
}

// The folder may have changed on disk since it was first opened.
void CMyFilesPage::ShowCurrentFiles()
{
    const TvTreeItem folder = m_tree->GetSelectedItem();
    Folders().RefreshFolder(folder);
    ListFiles(folder);
}

TvTreeItem CMyFilesPage::ShowFolder(const std::string& folder)
{
    const TvTreeItem item = Folders().FindFolder(folder);
    if (item)
        m_tree->SelectItem(item);
    return item;
}

// Lists the folder and its subfolders, so that each child shows whether it can be
// opened.
void CMyFilesPage::OpenAhead(TvTreeItem item)
{
    if (!item)
        return;
    CCheckTreeModel& tree = m_tree->GetModel();
    Folders().OpenFolder(item);
    for (TvTreeItem child = tree.GetChildItem(item); child; child = tree.GetNextSiblingItem(child))
        Folders().OpenFolder(child);
}

void CMyFilesPage::ListFiles(TvTreeItem folder)
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

void CMyFilesPage::OnFileChanged(QListWidgetItem* entry)
{
    if (m_listing)
        return;
    CFolderTreeFile* file = Folders().FindFile(m_listed, entry->text().toStdString());
    if (!file)
        return;
    file->m_nState = entry->checkState() == Qt::Checked ? kChecked : kUnchecked;
    UpdateFolderState(m_listed);
}

namespace {

// An item's state from what it holds: all chosen, some, or none.
int StateOf(bool any, bool all)
{
    return all ? kChecked : any ? kPartial : kUnchecked;
}

} // namespace

// The folder shows what its files and subfolders hold; its ancestors follow.
void CMyFilesPage::UpdateFolderState(TvTreeItem folder)
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
        tree.SetItemCheckState(at, StateOf(any, all && any));
    }
}

void CMyFilesPage::OnChecked(TvTreeItem item)
{
    Folders().CheckFolder(item, IsChecked(m_tree->GetModel().GetItemCheckState(item)));
    if (item == m_listed)
        ListFiles(item);
}
