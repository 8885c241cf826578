#include "ScheduleStartPage.h"

#include "PageLayout.h"
#include "Prompt.h"
#include "ScheduleRecord.h"
#include "SystemTask.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CScheduleStartPage::CScheduleStartPage() : CTvPageDlg(kDialogId)
{
    auto* create = new QPushButton(QStringLiteral("&New schedule"), this);
    m_delete = new QPushButton(QStringLiteral("&Delete schedule"), this);
    m_current = pagelayout::Plain(QString(), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("Scheduled backup"), this));
    layout->addWidget(pagelayout::Plain(
        QStringLiteral("One saved backup job can run by itself: daily, weekly or when you log on."),
        this));
    // One column of buttons of one width, as on the other pages' button rows.
    create->setMinimumWidth(m_delete->sizeHint().width());
    layout->addWidget(m_current);
    layout->addWidget(create, 0, Qt::AlignLeft);
    layout->addWidget(m_delete, 0, Qt::AlignLeft);
    layout->addStretch(1);
    connect(create, &QPushButton::clicked, this, &CScheduleStartPage::newSchedule);
    connect(m_delete, &QPushButton::clicked, this, &CScheduleStartPage::OnDelete);
}

void CScheduleStartPage::OnSetActive()
{
    ShowCurrent();
}

// Reading the task asks the system once (crontab or the unit files); only a task
// that cannot be read is looked for again, to offer its deletion.
void CScheduleStartPage::ShowCurrent()
{
    CSystemTask task;
    std::string kind;
    std::string text = "No backup is scheduled now.";
    const bool read = CSystemTask::Read(CScheduleRecord::kTaskName, task, kind);
    m_delete->setEnabled(read || g_ScheduleRecord.TaskExists());
    if (read)
        text = "Now the job \"" + g_ScheduleRecord.m_strJobName + "\" runs " + task.When() + ".";
    else if (m_delete->isEnabled())
        text = "A scheduled backup is set up, but its task cannot be read.";
    m_current->setText(QString::fromStdString(text));
}

void CScheduleStartPage::OnDelete()
{
    if (MessageBoxRes(257, MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    g_ScheduleRecord.DeleteTask();
    ShowCurrent();
}
