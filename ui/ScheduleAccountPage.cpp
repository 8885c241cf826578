#include "ScheduleAccountPage.h"

#include "PageLayout.h"
#include "ScheduleRecord.h"
#include "SystemTask.h"
#include "TvPropertiesPages.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CScheduleAccountPage::CScheduleAccountPage()
    : CTvPageDlg(kDialogId), m_summary(pagelayout::Plain(QString(), this)),
      m_finish(new QPushButton(QStringLiteral("&Finish"), this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("Set up the scheduled backup"), this));
    layout->addWidget(pagelayout::Plain(
        QStringLiteral("The backup runs under your own account, also when this program is closed. "
                       "Finish registers it; an earlier schedule is replaced."),
        this));
    layout->addWidget(m_summary);
    layout->addWidget(m_finish, 0, Qt::AlignLeft);
    layout->addStretch(1);
    connect(m_finish, &QPushButton::clicked, this, &CScheduleAccountPage::finish);
}

void CScheduleAccountPage::OnSetActive()
{
    const CScheduleRecord& record = g_ScheduleRecord;
    m_summary->setText(QString::fromStdString("The job \"" + record.m_strJobName + "\" will run " +
                                              record.MakeTask().When() + "."));
    if (auto* frame = qobject_cast<CTvPropertiesPages*>(parentWidget()))
        frame->EnableNextButton(false);
}
