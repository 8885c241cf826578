#include "ExitDialog.h"

#include "PageLayout.h"
#include "Preferences.h"
#include "UiDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

CExitDialog::CExitDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(CUiDialogs::Caption());
    m_dontAsk = new QCheckBox(QStringLiteral("&Close without asking from now on"), this);
    m_dontAsk->setChecked(g_Preferences.m_nQuitb != 0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CExitDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CExitDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        pagelayout::Plain(QStringLiteral("Do you want to close Tovan Backup Manager?"), this));
    layout->addWidget(m_dontAsk);
    layout->addWidget(buttons);
}

void CExitDialog::accept()
{
    g_Preferences.m_nQuitb = m_dontAsk->isChecked() ? 1 : 0;
    QDialog::accept();
}
