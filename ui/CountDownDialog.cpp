#include "CountDownDialog.h"

#include "ResourceLibrary.h"
#include "UiDialogs.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

CCountDownDialog::CCountDownDialog(QWidget* parent)
    : QDialog(parent), m_text(new QLabel(this)), m_bar(new QProgressBar(this)), m_timer(new QTimer(this))
{
    setWindowTitle(CUiDialogs::Caption());
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton* now = buttons->addButton(QStringLiteral("&Start now"), QDialogButtonBox::AcceptRole);
    now->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_bar);
    layout->addWidget(buttons);
    ShowCount();
    connect(m_timer, &QTimer::timeout, this, &CCountDownDialog::Tick);
    m_timer->start(1000);
}

void CCountDownDialog::Tick()
{
    if (m_count == 0) {
        m_timer->stop();
        accept();
        return;
    }
    --m_count;
    ShowCount();
    m_bar->setValue(m_bar->value() + kStep);
}

void CCountDownDialog::ShowCount()
{
    m_text->setText(QString::fromStdString(LoadResString(222)).arg(m_count));
}
