#include "RestoreLocationPage.h"

#include "FolderFilesPane.h"
#include "ItemsTreeWnd.h"
#include "MyFilesData.h"
#include "PageIds.h"
#include "PageLayout.h"
#include "Preferences.h"
#include "RestoreOptionsDialog.h"
#include "TvPropertiesPages.h"
#include "UiDialogs.h"
#include "WizardContext.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

CRestoreLocationPage::CRestoreLocationPage(CWizardContext& context)
    : CTvPageDlg(kDialogId), m_context(context)
{
    m_pane = new CFolderFilesPane(
        [this]() -> CFolderTree& { return m_context.sources.myFiles->GetFolderTree(); }, this);
    m_types = new QButtonGroup(this);
    m_folder = new QLineEdit(this);
    m_pick = new QPushButton(QStringLiteral("B&rowse..."), this);
    m_options = new QPushButton(QStringLiteral("&Options..."), this);
    m_back = new QPushButton(QStringLiteral("&Other data..."), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("Restore My Files"), this));
    layout->addWidget(pagelayout::Plain(
        QStringLiteral("Tick the folders and files to restore, and choose where they go."), this));
    layout->addWidget(m_pane, 1);
    pagelayout::Choices(m_types, layout,
                        {QStringLiteral("To the places they were backed up &from"),
                         QStringLiteral("Into a folder, &keeping their folders"),
                         QStringLiteral("Into one folder, &without their folders")},
                        this);
    auto* folder = new QHBoxLayout;
    folder->addWidget(m_folder, 1);
    folder->addWidget(m_pick);
    layout->addLayout(folder);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_options);
    buttons->addStretch(1);
    buttons->addWidget(m_back);
    layout->addLayout(buttons);
    connect(m_types, &QButtonGroup::idClicked, this, &CRestoreLocationPage::ShowLocationType);
    connect(m_pick, &QPushButton::clicked, this, &CRestoreLocationPage::PickFolder);
    connect(m_options, &QPushButton::clicked, this, &CRestoreLocationPage::EditOptions);
    connect(m_back, &QPushButton::clicked, this,
            [this] { pageid::PostGoTo(m_context.frame, pageid::kRestoreChoice); });
}

void CRestoreLocationPage::Clear()
{
    m_pane->Clear();
}

void CRestoreLocationPage::Build()
{
    m_pane->Clear();
    m_context.sources.myFiles->SetTree(&m_pane->GetTree()->GetModel());
}

void CRestoreLocationPage::OnSetActive()
{
    m_context.frame->SetBtnPrivousPage(pageid::kRestoreFile);
    m_context.frame->SetBtnNextPage(pageid::kRestoreRun);
    m_folder->setText(QString::fromStdString(g_Preferences.m_strResLocation));
    ShowLocationType(std::clamp(g_Preferences.m_nResLocationType, 0, 2));
    if (!m_pane->GetTree()->GetSelectedItem())
        ShowFirstFiles();
}

// Opens the folders down to the first one that holds more than one thing (the stored
// paths share their leading folders), so the user sees files rather than "/".
void CRestoreLocationPage::ShowFirstFiles()
{
    CItemsTreeWnd* view = m_pane->GetTree();
    const CCheckTreeModel& tree = view->GetModel();
    TvTreeItem item = tree.GetRootItem();
    if (!item)
        return;
    const CFolderTree& folders = m_context.sources.myFiles->GetFolderTree();
    const auto holdsFiles = [&folders](TvTreeItem at) {
        const CFolderTreeNode* node = folders.GetNode(at);
        return node && !node->m_Files.empty();
    };
    if (!tree.GetNextSiblingItem(item))
        while (!holdsFiles(item) && tree.GetChildItem(item) &&
               !tree.GetNextSiblingItem(tree.GetChildItem(item)))
            item = tree.GetChildItem(item);
    for (TvTreeItem at = item; at; at = tree.GetParentItem(at))
        view->expand(view->IndexOf(at));
    m_pane->Select(item);
}

bool CRestoreLocationPage::OnKillActive()
{
    g_Preferences.m_nResLocationType = std::max(0, m_types->checkedId());
    g_Preferences.m_strResLocation = m_folder->text().toStdString();
    return true;
}

void CRestoreLocationPage::ShowLocationType(int type)
{
    m_types->button(type)->setChecked(true);
    m_folder->setVisible(type != 0);
    m_pick->setVisible(type != 0);
}

void CRestoreLocationPage::PickFolder()
{
    std::string folder = m_folder->text().toStdString();
    if (CUiDialogs::AskFolder(this, kPickerTitle, folder))
        m_folder->setText(QString::fromStdString(folder));
}

void CRestoreLocationPage::EditOptions()
{
    CRestoreOptionsDialog options(this);
    CUiDialogs::Exec(options);
}
