#include "IdentityListDlg.h"

#include "PageLayout.h"
#include "UiDialogs.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CIdentityListDlg::CIdentityListDlg(const std::string& backupIdentity,
                                   const std::vector<std::string>& names, QWidget* parent)
    : QDialog(parent), m_nNewRow(static_cast<int>(names.size()))
{
    setWindowTitle(CUiDialogs::Caption());
    m_list = new QListWidget(this);
    for (const std::string& name : names)
        m_list->addItem(QString::fromStdString(name));
    m_list->addItem(QStringLiteral("A new identity"));
    m_list->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Plain(
        QStringLiteral("Restore the Outlook Express identity \"%1\" of the backup into:")
            .arg(QString::fromStdString(backupIdentity)),
        this));
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
}

int CIdentityListDlg::GetChoice() const
{
    return m_list->currentRow();
}
