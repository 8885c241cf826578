#include "CompleteDialog.h"

#include "PageLayout.h"
#include "Preferences.h"
#include "ResourceLibrary.h"
#include "UiDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

CCompleteDialog::CCompleteDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(CUiDialogs::Caption());
    m_showAgain = new QCheckBox(QStringLiteral("&Show this message after every backup"), this);
    m_showAgain->setChecked(g_Preferences.m_nBComplete != 0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCompleteDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCompleteDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Plain(QString::fromStdString(LoadResString(189)), this));
    layout->addWidget(pagelayout::Plain(
        QStringLiteral("Click OK to verify the new backup file now: every file in it is read "
                       "back and tested."),
        this));
    layout->addWidget(m_showAgain);
    layout->addWidget(buttons);
}

void CCompleteDialog::accept()
{
    g_Preferences.m_nBComplete = m_showAgain->isChecked() ? 1 : 0;
    QDialog::accept();
}
