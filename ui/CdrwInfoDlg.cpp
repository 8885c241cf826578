#include "CdrwInfoDlg.h"

#include "Preferences.h"

#include <QCheckBox>
#include <QPushButton>

CCdrwInfoDlg::CCdrwInfoDlg(QWidget* parent) : CHtmlDialog(QSize(520, 420), parent)
{
    Placeholder()->setGeometry(0, 0, 520, 372);
    m_showAgain = new QCheckBox(QStringLiteral("Show this advice when I choose a CD or DVD"), this);
    m_showAgain->setGeometry(12, 384, 380, 24);
    m_showAgain->setChecked(g_Preferences.m_nShowCDRW != 0);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(420, 384, 88, 26);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CCdrwInfoDlg::accept);
    CreateView();
    ShowPage("cdrw.html");
}

void CCdrwInfoDlg::accept()
{
    g_Preferences.m_nShowCDRW = m_showAgain->isChecked() ? 1 : 0;
    CHtmlDialog::accept();
}
