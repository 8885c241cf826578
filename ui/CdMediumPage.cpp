#include "CdMediumPage.h"

#include "DriveList.h"
#include "PageLayout.h"
#include "PartSize.h"
#include "ProjectData.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

CCdMediumPage::CCdMediumPage() : CMediumSubPage(kDialogId)
{
    auto* form = new QFormLayout(this);
    form->addRow(pagelayout::Plain(
        QStringLiteral("The backup is written into a folder; your burning program copies it "
                       "onto the disc."),
        this));
    m_drive = new QComboBox(this);
    form->addRow(QStringLiteral("CD/DVD &drive:"), m_drive);
    m_folder = AddFolderRow(form, QStringLiteral("&Folder for the disc:"));
    m_spanning = new QCheckBox(QStringLiteral("&Split the backup over several discs"), this);
    form->addRow(QString(), m_spanning);
    m_size = new QComboBox(this);
    m_size->setEditable(true);
    m_size->addItems({"600 Mb", "650 Mb", "700 Mb", "4.7 Gb"});
    form->addRow(QStringLiteral("Disc si&ze:"), m_size);
    connect(m_spanning, &QCheckBox::toggled, m_size, &QWidget::setEnabled);
}

void CCdMediumPage::Load()
{
    m_drive->clear();
    for (const std::string& drive : drivelist::CdDrives())
        m_drive->addItem(QString::fromStdString(drive));
    if (m_drive->count() == 0)
        m_drive->addItem(QStringLiteral("(no disc inserted)"));
    m_drive->setCurrentIndex(
        std::min(static_cast<int>(g_ProjectData.m_dwCdIndex), m_drive->count() - 1));
    m_folder->setText(QString::fromStdString(g_ProjectData.GetOutputFolderByMedium()));
    m_spanning->setChecked(g_ProjectData.m_dwCdSpanning != 0);
    m_size->setCurrentText(QString::fromStdString(g_ProjectData.m_strCdSizeText));
    m_size->setEnabled(m_spanning->isChecked());
}

bool CCdMediumPage::Store()
{
    const std::string folder = m_folder->text().trimmed().toStdString();
    std::uint32_t size = g_ProjectData.m_dwCdVolumeSize;
    if (m_spanning->isChecked() &&
        (size = partsize::Parse(m_size->currentText().trimmed().toStdString())) == 0)
        return false;
    if (!UsableFolder(folder))
        return false;
    g_ProjectData.SetCdFolder(folder);
    g_ProjectData.m_dwCdIndex = static_cast<std::uint32_t>(std::max(0, m_drive->currentIndex()));
    g_ProjectData.m_dwCdSpanning = m_spanning->isChecked() ? 1 : 0;
    g_ProjectData.m_strCdSizeText = m_size->currentText().trimmed().toStdString();
    g_ProjectData.m_dwCdVolumeSize = size;
    return true;
}
