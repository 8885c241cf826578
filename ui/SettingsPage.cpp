#include "SettingsPage.h"

#include "PageLayout.h"
#include "ProjectData.h"
#include "Prompt.h"
#include "ResourceLibrary.h"
#include "RunOptions.h"
#include "UiDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// Update and synchronise read the previous backup back: only a single file can be.
bool AllowsUpdate(const CProjectData& job)
{
    return job.GetMedium() == 0 || (job.GetMedium() == 3 && job.m_dwCdSpanning == 0);
}

} // namespace

CSettingsPage::CSettingsPage(CWizardContext& context) : CTvPageDlg(kDialogId), m_context(context)
{
    m_usePassword = new QCheckBox(QStringLiteral("Protect the backup with a &password"), this);
    m_password = new QLineEdit(this);
    m_confirm = new QLineEdit(this);
    for (QLineEdit* edit : {m_password, m_confirm})
        edit->setEchoMode(QLineEdit::Password);
    m_encryption = new QComboBox(this);
    m_encryption->addItem(QStringLiteral("AES-256 (strong)"), CProjectData::kEncryptAes256);
    m_encryption->addItem(QStringLiteral("Traditional ZIP (read by every ZIP tool)"),
                          CProjectData::kEncryptTraditional);
    m_level = new QComboBox(this);
    for (int level = 0; level <= 9; ++level)
        m_level->addItem(level == 0   ? QStringLiteral("0 (store only)")
                         : level == 9 ? QStringLiteral("9 (smallest)")
                                      : QString::number(level));
    m_type = new QButtonGroup(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("Backup settings"), this));
    auto* form = new QFormLayout;
    form->addRow(m_usePassword);
    form->addRow(QStringLiteral("Pass&word:"), m_password);
    form->addRow(QStringLiteral("&Confirm password:"), m_confirm);
    form->addRow(QStringLiteral("&Encryption:"), m_encryption);
    form->addRow(QStringLiteral("Compression &level:"), m_level);
    layout->addLayout(form);
    for (unsigned type = 0; type < 3; ++type) {
        auto* radio = new QRadioButton(QString::fromStdString(LoadResString(150 + type)), this);
        m_type->addButton(radio, static_cast<int>(type));
        layout->addWidget(radio);
    }
    layout->addStretch(1);
    connect(m_usePassword, &QCheckBox::toggled, this, &CSettingsPage::EnablePassword);
}

void CSettingsPage::EnablePassword(bool on)
{
    for (QWidget* control : {static_cast<QWidget*>(m_password), static_cast<QWidget*>(m_confirm),
                             static_cast<QWidget*>(m_encryption)})
        control->setEnabled(on);
}

void CSettingsPage::OnSetActive()
{
    CProjectData& job = g_ProjectData;
    if (!AllowsUpdate(job))
        job.m_dwBackupType = 0;
    m_type->button(1)->setEnabled(AllowsUpdate(job));
    m_type->button(2)->setEnabled(AllowsUpdate(job));
    m_type->button(static_cast<int>(std::min<std::uint32_t>(job.m_dwBackupType, 2)))
        ->setChecked(true);
    m_usePassword->setChecked(job.m_dwPasswordEnabled != 0);
    EnablePassword(job.m_dwPasswordEnabled != 0);
    m_password->setText(QString::fromStdString(job.m_strTypedPassword));
    m_confirm->setText(QString::fromStdString(job.m_strConfirmPassword));
    m_encryption->setCurrentIndex(job.m_dwEncryption == CProjectData::kEncryptTraditional ? 1 : 0);
    m_level->setCurrentIndex(static_cast<int>(std::min<std::uint32_t>(job.m_dwLevel, 9)));
}

bool CSettingsPage::OnKillActive()
{
    if (g_bExecuteJob)
        return true;
    CProjectData& job = g_ProjectData;
    const std::string password = m_password->text().toStdString();
    const std::string confirm = m_confirm->text().toStdString();
    if (m_usePassword->isChecked()) {
        if (password.empty() || confirm.empty()) {
            MessageBoxRes(134, MB_OK | MB_ICONERROR);
            return false;
        }
        if (password != confirm) {
            MessageBoxRes(135, MB_OK | MB_ICONERROR);
            return false;
        }
        job.SetPassword(password);
        job.SetEncryption(m_encryption->currentData().toUInt());
    } else {
        // A job without the box ticked writes no encrypted entries.
        job.SetPassword({});
    }
    job.m_dwPasswordEnabled = m_usePassword->isChecked() ? 1 : 0;
    job.m_dwLevel = static_cast<std::uint32_t>(m_level->currentIndex());
    job.m_dwBackupType = static_cast<std::uint32_t>(std::max(0, m_type->checkedId()));
    job.m_strTypedPassword = password;
    job.m_strConfirmPassword = confirm;
    return true;
}
