#include "RestoreConfirmDialog.h"

#include "PageLayout.h"
#include "UiDialogs.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

CRestoreConfirmDialog::CRestoreConfirmDialog(const std::string& backup, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(CUiDialogs::Caption());
    // Room for a long path on few lines.
    setMinimumWidth(460);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Restore"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        pagelayout::Plain(QStringLiteral("The restore is about to start from:"), this));
    layout->addWidget(pagelayout::Plain(QString::fromStdString(backup), this));
    layout->addWidget(pagelayout::Plain(
        QStringLiteral("What you ticked is put back where you chose. Files already in place "
                       "are treated as the restore options say."),
        this));
    layout->addWidget(buttons);
}
