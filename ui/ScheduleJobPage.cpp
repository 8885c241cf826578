#include "ScheduleJobPage.h"

#include "PageLayout.h"
#include "ProjectData.h"
#include "ScheduleOptionsDialog.h"
#include "ScheduleRecord.h"
#include "UiDialogs.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CScheduleJobPage::CScheduleJobPage()
    : CTvPageDlg(kDialogId), m_jobs(new QListWidget(this)),
      m_options(new QPushButton(QStringLiteral("&Options..."), this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("Which backup job should run?"), this));
    layout->addWidget(m_jobs, 1);
    layout->addWidget(m_options, 0, Qt::AlignLeft);
    connect(m_options, &QPushButton::clicked, this, [this] {
        CScheduleOptionsDialog options(this);
        CUiDialogs::Exec(options);
    });
}

void CScheduleJobPage::OnSetActive()
{
    m_jobs->clear();
    for (const std::string& name : g_ProjectData.GetSavedJobNames()) {
        m_jobs->addItem(QString::fromStdString(name));
        if (name == g_ScheduleRecord.m_strJobName)
            m_jobs->setCurrentRow(m_jobs->count() - 1);
    }
}

bool CScheduleJobPage::OnKillActive()
{
    if (const QListWidgetItem* item = m_jobs->currentItem())
        g_ScheduleRecord.m_strJobName = item->text().toStdString();
    return true;
}
