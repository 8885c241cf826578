#include "RemovableMediumPage.h"

#include "DriveList.h"
#include "PageLayout.h"
#include "ProjectData.h"

#include <QComboBox>
#include <QFormLayout>

CRemovableMediumPage::CRemovableMediumPage() : CMediumSubPage(kDialogId)
{
    auto* form = new QFormLayout(this);
    form->addRow(pagelayout::Plain(
        QStringLiteral("The backup goes onto removable disks; you are asked for the next disk "
                       "when one is full."),
        this));
    m_drive = new QComboBox(this);
    m_drive->setEditable(true);
    m_drive->setMinimumWidth(320);
    form->addRow(QStringLiteral("&Drive:"), m_drive);
}

void CRemovableMediumPage::Load()
{
    m_drive->clear();
    for (const std::string& drive : drivelist::RemovableDrives())
        m_drive->addItem(QString::fromStdString(drive));
    const QString saved = QString::fromStdString(g_ProjectData.m_strRemovableFolder);
    if (!saved.isEmpty())
        m_drive->setCurrentText(saved);
}

bool CRemovableMediumPage::Store()
{
    const std::string folder = m_drive->currentText().trimmed().toStdString();
    if (!UsableFolder(folder))
        return false;
    g_ProjectData.SetRemovableFolder(folder);
    g_ProjectData.m_dwRemovableIndex =
        static_cast<std::uint32_t>(std::max(0, m_drive->currentIndex()));
    return true;
}
