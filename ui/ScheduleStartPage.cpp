#include "ScheduleStartPage.h"

#include "PageLayout.h"
#include "Prompt.h"
#include "ScheduleRecord.h"

#include <QPushButton>
#include <QVBoxLayout>

CScheduleStartPage::CScheduleStartPage() : CTvPageDlg(kDialogId)
{
    auto* create = new QPushButton(QStringLiteral("&New schedule"), this);
    m_delete = new QPushButton(QStringLiteral("&Delete schedule"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("Scheduled backup"), this));
    layout->addWidget(pagelayout::Plain(
        QStringLiteral("One saved backup job can run by itself: daily, weekly or when you log on."),
        this));
    layout->addWidget(create);
    layout->addWidget(m_delete);
    layout->addStretch(1);
    connect(create, &QPushButton::clicked, this, &CScheduleStartPage::newSchedule);
    connect(m_delete, &QPushButton::clicked, this, &CScheduleStartPage::OnDelete);
}

void CScheduleStartPage::OnSetActive()
{
    m_delete->setEnabled(g_ScheduleRecord.TaskExists());
}

void CScheduleStartPage::OnDelete()
{
    if (MessageBoxRes(257, MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    if (g_ScheduleRecord.DeleteTask())
        m_delete->setEnabled(false);
}
