#include "ScheduleAccountPage.h"

#include "PageLayout.h"

#include <QPushButton>
#include <QVBoxLayout>

CScheduleAccountPage::CScheduleAccountPage()
    : CTvPageDlg(kDialogId), m_finish(new QPushButton(QStringLiteral("&Finish"), this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("Set up the scheduled backup"), this));
    layout->addWidget(pagelayout::Plain(
        QStringLiteral("The backup runs under your own account, also when this program is closed. "
                       "Finish registers it; an earlier schedule is replaced."),
        this));
    layout->addWidget(m_finish, 0, Qt::AlignLeft);
    layout->addStretch(1);
    connect(m_finish, &QPushButton::clicked, this, &CScheduleAccountPage::finish);
}
