#include "CollectDialog.h"

#include "BackupManger.h"
#include "Globals.h"
#include "PageLayout.h"
#include "ProjectData.h"
#include "Prompt.h"
#include "QtNotify.h"
#include "ResourceLibrary.h"
#include "ResultCodes.h"
#include "RunOptions.h"
#include "UiDialogs.h"
#include "WizardContext.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

CCollectDialog::CCollectDialog(CWizardContext& context, QWidget* parent)
    : QDialog(parent), m_context(context)
{
    setWindowTitle(CUiDialogs::Caption());
    m_count = pagelayout::Plain(QStringLiteral("0"), this);
    m_size = pagelayout::Plain(QStringLiteral("0 Bytes"), this);
    m_status = pagelayout::Plain(QString(), this);
    m_status->setMinimumWidth(460);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_ok->setEnabled(false);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Files:"), m_count);
    form->addRow(QStringLiteral("Size:"), m_size);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("Looking for the files to back up"), this));
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, [this] { done(kGoOn); });
    connect(m_cancel, &QPushButton::clicked, this, &CCollectDialog::OnCancel);
    connect(&m_context.notify, &CQtNotify::scanning, this, [this](const QString& path) {
        m_status->setText(QString::fromStdString(LoadResString(183)) + path);
    });
    connect(&m_context.notify, &CQtNotify::collectEnded, this, &CCollectDialog::OnEnded);
}

int CCollectDialog::exec()
{
    QTimer::singleShot(0, this, &CCollectDialog::Start);
    return QDialog::exec();
}

int CCollectDialog::Collect()
{
    Start();
    m_context.notify.WaitForCollectEnd();
    return m_outcome;
}

void CCollectDialog::Start()
{
    m_outcome = 0;
    m_running = true;
    m_context.engine.StartCollect(&m_context.notify);
    m_context.notify.CollectStarted();
}

void CCollectDialog::OnCancel()
{
    if (m_running) {
        // The collection stops at its next file; its end closes the dialog.
        m_context.engine.RequestCancelCollect();
        m_cancel->setEnabled(false);
        return;
    }
    done(kNothing);
}

void CCollectDialog::OnEnded(int result)
{
    m_running = false;
    m_context.engine.WaitCollect();
    m_outcome = result == result::kSuccess ? Judge() : kNothing;
    if (m_outcome == 0 && g_bExecuteJob)
        m_outcome = kGoOn;
    if (m_outcome != 0 && isVisible())
        done(m_outcome);
}

// 0 when the backup may start (OK enabled), else the dialog's result.
int CCollectDialog::Judge()
{
    const CBackupManger& engine = m_context.engine;
    const std::uint64_t total = engine.GetTotalBytes();
    m_count->setText(QString::number(engine.GetTotalFiles()));
    m_size->setText(QString::fromStdString(g_Globals.FormatSize(total)));
    if (total == 0) {
        m_status->setText(QString::fromStdString(LoadResString(140)));
        MessageBoxRes(140, MB_OK | MB_ICONERROR);
        return kNothing;
    }
    const CProjectData& job = g_ProjectData;
    const std::uint64_t free = job.GetOutputFreeSpace();
    const bool spanned = job.GetMedium() == 1 || (job.GetMedium() == 3 && job.m_dwCdSpanning);
    if ((job.GetMedium() == 0 || (job.GetMedium() == 3 && !job.m_dwCdSpanning)) && total > free) {
        m_status->setText(QString::fromStdString(LoadResString(185)));
        MessageBoxRes(186, MB_OK | MB_ICONERROR);
        return kNoRoom;
    }
    if (spanned && free > total)
        m_context.engine.GetOpenSettings().m_nFitsOnOneDisk = 1;
    m_status->setText(QString::fromStdString(LoadResString(184)));
    m_ok->setEnabled(true);
    m_ok->setDefault(true);
    return 0;
}
