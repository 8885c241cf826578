#include "IdentityListDlg.h"

#include "PageLayout.h"
#include "UiDialogs.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CIdentityListDlg::CIdentityListDlg(const std::string& backupIdentity,
                                   const std::vector<std::string>& names, int chosenRow,
                                   QWidget* parent)
    : QDialog(parent), m_nNewRow(static_cast<int>(names.size()))
{
    setWindowTitle(CUiDialogs::Caption());
    m_list = new QListWidget(this);
    for (const std::string& name : names)
        m_list->addItem(QString::fromStdString(name));
    m_list->addItem(QStringLiteral("A new identity"));
    const bool marked = chosenRow >= 0 && chosenRow < m_nNewRow;
    if (marked)
        Mark(m_list->item(chosenRow));
    m_list->setCurrentRow(marked ? chosenRow : 0);
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

void CIdentityListDlg::Mark(QListWidgetItem* item)
{
    QFont font = item->font();
    font.setBold(true);
    item->setFont(font);
    item->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
}

int CIdentityListDlg::GetChoice() const
{
    return m_list->currentRow();
}
