#include "PasswordDialog.h"

#include "PageLayout.h"
#include "UiDialogs.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

CPasswordDialog::CPasswordDialog(const std::string& text, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(CUiDialogs::Caption());
    // Room for a long path on few lines.
    setMinimumWidth(460);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Plain(QString::fromStdString(text), this));
    layout->addWidget(m_password);
    layout->addWidget(buttons);
}

std::string CPasswordDialog::GetPassword() const
{
    return m_password->text().toStdString();
}
