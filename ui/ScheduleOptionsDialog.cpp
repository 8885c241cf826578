#include "ScheduleOptionsDialog.h"

#include "ScheduleRecord.h"
#include "UiDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace {

std::int32_t* Field(int index)
{
    CScheduleRecord& record = g_ScheduleRecord;
    std::int32_t* const fields[] = {&record.m_nNoBattery, &record.m_nShowReport, &record.m_nValidate,
                                    &record.m_nOptionFour, &record.m_nExitWhenDone};
    return fields[index];
}

} // namespace

CScheduleOptionsDialog::CScheduleOptionsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(CUiDialogs::Caption());
    const char* const labels[] = {"Do not run on &battery power", "&Show the report when the run ends",
                                  "&Verify the backup", "&Keep this option (unused)",
                                  "&Close the program when the run ends"};
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 5; ++i) {
        m_boxes[i] = new QCheckBox(QString::fromLatin1(labels[i]), this);
        m_boxes[i]->setChecked(*Field(i) != 0);
        layout->addWidget(m_boxes[i]);
    }
    // The fourth option does nothing; it is kept, not offered.
    m_boxes[3]->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CScheduleOptionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CScheduleOptionsDialog::reject);
    layout->addWidget(buttons);
}

void CScheduleOptionsDialog::accept()
{
    for (int i = 0; i < 5; ++i)
        if (i != 3)
            *Field(i) = m_boxes[i]->isChecked() ? 1 : 0;
    QDialog::accept();
}
