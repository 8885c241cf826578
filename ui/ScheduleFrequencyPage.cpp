#include "ScheduleFrequencyPage.h"

#include "PageLayout.h"
#include "ScheduleRecord.h"
#include "SystemTask.h"

#include <QComboBox>
#include <QFormLayout>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

CScheduleFrequencyPage::CScheduleFrequencyPage()
    : CTvPageDlg(kDialogId), m_weekDays(new QComboBox(this)), m_time(new QTimeEdit(QTime(1, 0), this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("When should the backup run?"), this));
    const char* const names[] = {"&Daily", "&Weekly", "When I &log on"};
    for (int i = 0; i < 3; ++i) {
        m_choices[i] = new QRadioButton(QString::fromLatin1(names[i]), this);
        layout->addWidget(m_choices[i]);
        connect(m_choices[i], &QRadioButton::toggled, this, &CScheduleFrequencyPage::UpdateWeekDays);
    }
    for (const char* day : CSystemTask::kDayNames)
        m_weekDays->addItem(QString::fromLatin1(day));
    m_time->setDisplayFormat(QStringLiteral("HH:mm"));
    auto* form = new QFormLayout;
    // A weekday and a time need no page-wide fields.
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(QStringLiteral("Day of the week:"), m_weekDays);
    form->addRow(QStringLiteral("Time of day:"), m_time);
    layout->addLayout(form);
    layout->addStretch(1);
}

void CScheduleFrequencyPage::OnSetActive()
{
    const CScheduleRecord& record = g_ScheduleRecord;
    m_choices[std::clamp(record.m_nFrequency, 0, 2)]->setChecked(true);
    m_weekDays->setCurrentIndex(std::clamp(record.m_nWeekDay, 0, 6));
    UpdateWeekDays();
}

bool CScheduleFrequencyPage::OnKillActive()
{
    CScheduleRecord& record = g_ScheduleRecord;
    for (int i = 0; i < 3; ++i)
        if (m_choices[i]->isChecked())
            record.m_nFrequency = i;
    record.m_nWeekDay = m_weekDays->currentIndex();
    record.m_nHour = m_time->time().hour();
    record.m_nMinute = m_time->time().minute();
    return true;
}

void CScheduleFrequencyPage::UpdateWeekDays()
{
    m_weekDays->setEnabled(m_choices[CScheduleRecord::kWeekly]->isChecked());
}
