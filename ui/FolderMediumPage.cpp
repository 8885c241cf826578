#include "FolderMediumPage.h"

#include "PageLayout.h"
#include "ProjectData.h"

#include <QFormLayout>
#include <QLineEdit>

CFolderMediumPage::CFolderMediumPage() : CMediumSubPage(kDialogId)
{
    auto* form = new QFormLayout(this);
    form->addRow(pagelayout::Plain(
        QStringLiteral("The backup is one file in a folder of this computer or the network."),
        this));
    m_folder = AddFolderRow(form, QStringLiteral("&Folder:"));
}

void CFolderMediumPage::Load()
{
    m_folder->setText(QString::fromStdString(g_ProjectData.GetDefaultOutputFolder()));
}

bool CFolderMediumPage::Store()
{
    const std::string folder = m_folder->text().trimmed().toStdString();
    return UsableFolder(folder) && g_ProjectData.SetDefaultOutputFolder(folder);
}
