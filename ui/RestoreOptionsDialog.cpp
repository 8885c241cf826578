#include "RestoreOptionsDialog.h"

#include "PageLayout.h"
#include "Preferences.h"
#include "UiDialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

CRestoreOptionsDialog::CRestoreOptionsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(CUiDialogs::Caption());
    m_choices = new QButtonGroup(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        pagelayout::Plain(QStringLiteral("When a file to restore is already in place:"), this));
    pagelayout::Choices(m_choices, layout,
                        {QStringLiteral("&Keep the file in place"),
                         QStringLiteral("Replace it only by a &newer file from the backup"),
                         QStringLiteral("&Replace it by the file from the backup")},
                        this);
    // Values beyond the last choice replace the file, as the last choice does.
    const int current = std::clamp(g_Preferences.m_nResFileType, 0, 2);
    m_choices->button(current)->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRestoreOptionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRestoreOptionsDialog::reject);
    layout->addWidget(buttons);
}

void CRestoreOptionsDialog::accept()
{
    if (m_choices->checkedId() >= 0)
        g_Preferences.m_nResFileType = m_choices->checkedId();
    QDialog::accept();
}
