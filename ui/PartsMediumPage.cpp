#include "PartsMediumPage.h"

#include "PageLayout.h"
#include "PartSize.h"
#include "ProjectData.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

CPartsMediumPage::CPartsMediumPage() : CMediumSubPage(kDialogId)
{
    auto* form = new QFormLayout(this);
    form->addRow(pagelayout::Plain(
        QStringLiteral("The backup is written in parts of the size below, for copying onto "
                       "disks or sending in pieces."),
        this));
    m_size = new QComboBox(this);
    m_size->setEditable(true);
    m_size->addItems({"100 Mb", "650 Mb", "700 Mb", "1 Gb", "2 Gb"});
    form->addRow(QStringLiteral("Part &size:"), m_size);
    m_folder = AddFolderRow(form, QStringLiteral("&Folder:"));
}

void CPartsMediumPage::Load()
{
    m_size->setCurrentText(QString::fromStdString(g_ProjectData.m_strPartSizeText));
    m_folder->setText(QString::fromStdString(g_ProjectData.GetDefaultOutputFolder()));
}

bool CPartsMediumPage::Store()
{
    const std::string text = m_size->currentText().trimmed().toStdString();
    const std::uint32_t size = partsize::Parse(text);
    const std::string folder = m_folder->text().trimmed().toStdString();
    if (size == 0 || !UsableFolder(folder) || !g_ProjectData.SetDefaultOutputFolder(folder))
        return false;
    g_ProjectData.m_strPartSizeText = text;
    g_ProjectData.m_dwPartSize = size;
    return true;
}
