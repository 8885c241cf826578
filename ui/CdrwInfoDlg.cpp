#include "CdrwInfoDlg.h"

#include "Preferences.h"

#include <QCheckBox>
#include <QPushButton>

CCdrwInfoDlg::CCdrwInfoDlg(QWidget* parent) : CHtmlDialog(QSize(560, 500), parent)
{
    Placeholder()->setGeometry(0, 0, 560, 452);
    m_showAgain = new QCheckBox(QStringLiteral("Show this advice when I choose a CD or DVD"), this);
    m_showAgain->setGeometry(12, 464, 400, 24);
    m_showAgain->setChecked(g_Preferences.m_nShowCDRW != 0);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(460, 463, 88, 26);
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
