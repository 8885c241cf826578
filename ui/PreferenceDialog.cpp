#include "PreferenceDialog.h"

#include "PageLayout.h"
#include "UiDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

CPreferenceDialog::CPreferenceDialog(const QStringList& lines, const QString& boxText,
                                     int& preference, QWidget* parent)
    : QDialog(parent), m_box(new QCheckBox(boxText, this)), m_preference(preference)
{
    setWindowTitle(CUiDialogs::Caption());
    m_box->setChecked(preference != 0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPreferenceDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPreferenceDialog::reject);
    auto* layout = new QVBoxLayout(this);
    for (const QString& line : lines)
        layout->addWidget(pagelayout::Plain(line, this));
    layout->addWidget(m_box);
    layout->addWidget(buttons);
}

void CPreferenceDialog::accept()
{
    m_preference = m_box->isChecked() ? 1 : 0;
    QDialog::accept();
}
