#include "IdentityTargetPage.h"

#include "PageLayout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CIdentityTargetPage::CIdentityTargetPage(const QString& identityName)
    : CDetailPage(kDialogId, identityName,
                  QStringLiteral("The identity's mail, accounts and settings go into the "
                                 "identity chosen for it."))
{
    m_target = pagelayout::Plain(QString(), this);
    m_choose = new QPushButton(QStringLiteral("&Choose..."), this);
    auto* row = new QHBoxLayout;
    row->addWidget(m_target, 1);
    row->addWidget(m_choose);
    // Below the texts, above the tree.
    m_layout->insertLayout(2, row);
    ShowTarget({});
    connect(m_choose, &QPushButton::clicked, this, &CIdentityTargetPage::chooseTarget);
}

void CIdentityTargetPage::ShowTarget(const QString& name)
{
    m_target->setText(name.isEmpty() ? QStringLiteral("Restore into: (no identity chosen)")
                                     : QStringLiteral("Restore into: %1").arg(name));
}
