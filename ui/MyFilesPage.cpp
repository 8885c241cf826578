#include "MyFilesPage.h"

#include "FolderFilesPane.h"
#include "FolderTree.h"
#include "ItemsTreeWnd.h"
#include "MyFilesData.h"
#include "PageIds.h"
#include "PageLayout.h"
#include "TvPropertiesPages.h"
#include "WizardContext.h"

#include <QPushButton>
#include <QVBoxLayout>

CMyFilesPage::CMyFilesPage(CWizardContext& context) : CTvPageDlg(kDialogId), m_context(context)
{
    m_pane = new CFolderFilesPane([this]() -> CFolderTree& { return Folders(); }, this);
    m_back = new QPushButton(QStringLiteral("&Other data..."), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("My Files"), this));
    layout->addWidget(pagelayout::Plain(
        QStringLiteral("Tick the folders and files to back up. A ticked folder is backed up "
                       "with everything in it."),
        this));
    layout->addWidget(m_pane, 1);
    layout->addWidget(m_back, 0, Qt::AlignRight);
    connect(m_back, &QPushButton::clicked, this,
            [this] { pageid::PostGoTo(m_context.frame, pageid::kSelection); });
}

CItemsTreeWnd* CMyFilesPage::GetTree() const
{
    return m_pane->GetTree();
}

QListWidget* CMyFilesPage::GetFileList() const
{
    return m_pane->GetFileList();
}

CFolderTree& CMyFilesPage::Folders() const
{
    return m_context.sources.myFiles->GetFolderTree();
}

void CMyFilesPage::Prepare()
{
    m_pane->Clear();
    m_context.sources.myFiles->SetTree(&GetTree()->GetModel());
    m_context.sources.myFiles->LoadSelection();
    Folders().GetRootFolder();
    if (const TvTreeItem home = Folders().ShowHomeFolder())
        GetTree()->SelectItem(home);
}

void CMyFilesPage::OnSetActive()
{
    m_context.frame->SetBtnNextPage(pageid::kSettings);
    m_context.frame->SetBtnPrivousPage(pageid::kMedium);
    if (!GetTree()->GetModel().GetRootItem())
        Prepare();
    else
        m_pane->ShowCurrentFiles();
}

TvTreeItem CMyFilesPage::ShowFolder(const std::string& folder)
{
    const TvTreeItem item = Folders().FindFolder(folder);
    if (item)
        GetTree()->SelectItem(item);
    return item;
}
