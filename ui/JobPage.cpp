#include "JobPage.h"

#include "BackupManger.h"
#include "PageLayout.h"
#include "ProjectData.h"
#include "RunOptions.h"
#include "ScheduleWarning.h"
#include "WizardContext.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

CJobPage::CJobPage(CWizardContext& context) : CTvPageDlg(kDialogId), m_context(context)
{
    m_jobs = new QListWidget(this);
    m_name = new QLineEdit(this);
    m_description = new QLineEdit(this);
    m_fileName = new QLineEdit(this);
    m_follow = new QCheckBox(QStringLiteral("The backup file is named after the job"), this);
    m_delete = new QPushButton(QStringLiteral("&Delete job"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("Backup job"), this));
    layout->addWidget(pagelayout::Plain(
        QStringLiteral("Choose a saved job, or the first entry for a new one."), this));
    auto* list = new QHBoxLayout;
    list->addWidget(m_jobs, 1);
    list->addWidget(m_delete, 0, Qt::AlignTop);
    layout->addLayout(list, 1);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Job &name:"), m_name);
    form->addRow(QStringLiteral("&Description:"), m_description);
    form->addRow(QStringLiteral("Backup &file name:"), m_fileName);
    form->addRow(QString(), m_follow);
    layout->addLayout(form);
    connect(m_jobs, &QListWidget::currentRowChanged, this, &CJobPage::OnJobChosen);
    connect(m_delete, &QPushButton::clicked, this, &CJobPage::OnDelete);
    connect(m_name, &QLineEdit::textEdited, this, &CJobPage::OnNameEdited);
    connect(m_follow, &QCheckBox::toggled, this, [this](bool on) {
        m_fileName->setEnabled(!on);
        if (on)
            OnNameEdited(m_name->text());
    });
}

void CJobPage::OnSetActive()
{
    m_context.engine.SetMode(0);
    FillJobs();
}

void CJobPage::FillJobs()
{
    std::vector<std::string> entries;
    const int current = g_ProjectData.ListJobs(entries);
    const QSignalBlocker block(m_jobs);
    m_jobs->clear();
    for (const std::string& entry : entries)
        m_jobs->addItem(QString::fromStdString(entry));
    m_jobs->setCurrentRow(current);
    m_delete->setEnabled(current > 0);
    ShowJob();
}

void CJobPage::ShowJob()
{
    m_filling = true;
    m_name->setText(QString::fromStdString(g_ProjectData.GetJobName()));
    m_description->setText(QString::fromStdString(g_ProjectData.GetDescription()));
    m_fileName->setText(QString::fromStdString(g_ProjectData.GetBackupFileName()));
    m_follow->setChecked(g_ProjectData.m_dwOptionFlag != 0);
    m_fileName->setEnabled(!m_follow->isChecked());
    m_filling = false;
}

void CJobPage::OnJobChosen(int row)
{
    if (row < 0)
        return;
    if (row == 0)
        g_ProjectData.NewJob();
    else
        g_ProjectData.LoadJob(m_jobs->item(row)->text().toStdString());
    m_context.treesStale = true;
    m_delete->setEnabled(row > 0);
    ShowJob();
}

void CJobPage::OnDelete()
{
    const int row = m_jobs->currentRow();
    if (row <= 0 || !CScheduleWarning::ConfirmJobLoss(this, m_jobs->item(row)->text().toStdString()))
        return;
    g_ProjectData.DeleteJob(m_jobs->item(row)->text().toStdString());
    // The entry above takes its place: a saved job, or a new one at the top.
    if (row - 1 > 0)
        g_ProjectData.LoadJob(m_jobs->item(row - 1)->text().toStdString());
    else
        g_ProjectData.NewJob();
    m_context.treesStale = true;
    FillJobs();
}

void CJobPage::OnNameEdited(const QString& name)
{
    if (!m_filling && m_follow->isChecked())
        m_fileName->setText(name.trimmed() + QString::fromLatin1(CProjectData::kDefaultExtension));
}

bool CJobPage::OnKillActive()
{
    if (g_bExecuteJob)
        return true;
    const std::string name = m_name->text().toStdString();
    if (name != g_ProjectData.GetJobName() && !CScheduleWarning::ConfirmJobLoss(this, g_ProjectData.GetJobName()))
        return false;
    if (!g_ProjectData.RenameJob(name))
        return false;
    g_ProjectData.SetDescription(m_description->text().toStdString());
    if (!g_ProjectData.SetBackupFileName(m_fileName->text().toStdString()))
        return false;
    g_ProjectData.m_dwOptionFlag = m_follow->isChecked() ? 1 : 0;
    return true;
}
