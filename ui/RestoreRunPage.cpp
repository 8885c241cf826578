#include "RestoreRunPage.h"

#include "BackupManger.h"
#include "Globals.h"
#include "HtmlReport.h"
#include "MyFilesData.h"
#include "PageIds.h"
#include "PageLayout.h"
#include "Preferences.h"
#include "ProjectData.h"
#include "Prompt.h"
#include "QtNotify.h"
#include "ResourceLibrary.h"
#include "RestoreConfirmDialog.h"
#include "RestoreLocationPage.h"
#include "RestoreNotify.h"
#include "ResultCodes.h"
#include "TvImageButton.h"
#include "TvPropertiesPages.h"
#include "UiDialogs.h"
#include "WizardContext.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr unsigned kTextNothingToRestore = 215;
constexpr unsigned kTextMailProgramOpen = 219;
constexpr unsigned kTextFinished = 239;

QProgressBar* NewBar(QWidget* parent)
{
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setFormat(QStringLiteral("%p%"));
    return bar;
}

} // namespace

CRestoreRunPage::CRestoreRunPage(CWizardContext& context)
    : CTvPageDlg(kDialogId), m_context(context)
{
    m_backup = pagelayout::Plain(QString(), this);
    m_heading = pagelayout::Plain(QString(), this);
    m_status = pagelayout::Plain(QString(), this);
    m_size = pagelayout::Plain(QString(), this);
    m_items = pagelayout::Plain(QString(), this);
    m_section = NewBar(this);
    m_total = NewBar(this);
    m_stop = new QPushButton(QStringLiteral("&Stop"), this);
    m_report = new QPushButton(QStringLiteral("&Report"), this);
    m_first = new QPushButton(QStringLiteral("&First page"), this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Backup file:"), m_backup);
    form->addRow(QStringLiteral("Size:"), m_size);
    form->addRow(QStringLiteral("Items:"), m_items);
    form->addRow(QStringLiteral("Restoring:"), m_heading);
    form->addRow(QStringLiteral("This part:"), m_section);
    form->addRow(QStringLiteral("All:"), m_total);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_stop, m_report, m_first})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("Restoring"), this));
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addStretch(1);
    layout->addLayout(buttons);
    connect(m_stop, &QPushButton::clicked, this, &CRestoreRunPage::Stop);
    connect(m_report, &QPushButton::clicked, this,
            [] { g_Globals.OpenDocument(CHtmlReport::GetRestoreReportPath(), false); });
    connect(m_first, &QPushButton::clicked, this,
            [this] { TvPostMessage(m_context.frame, tvmsg::kFirstPage); });
    connect(&m_context.notify, &CQtNotify::progress, this, &CRestoreRunPage::OnProgress);
    connect(&m_context.notify, &CQtNotify::engineEvent, this, &CRestoreRunPage::OnEvent);
    connect(&m_context.notify, &CQtNotify::workerEnded, this, &CRestoreRunPage::OnWorkerEnded);
}

void CRestoreRunPage::EnableButtons(bool enable)
{
    for (QPushButton* button : {m_report, m_first})
        button->setEnabled(enable);
    m_stop->setEnabled(!enable && IsRunning());
    pagelayout::EnableStripForRun(m_context.frame, enable);
}

void CRestoreRunPage::ResetBars()
{
    for (QProgressBar* bar : {m_section, m_total}) {
        bar->setRange(0, 100);
        bar->setValue(0);
    }
}

void CRestoreRunPage::OnSetActive()
{
    m_context.frame->SetBtnPrivousPage(pageid::kRestoreChoice);
    m_bFinished = false;
    EnableButtons(false);
    ResetBars();
    for (QLabel* label : {m_heading, m_status, m_size, m_items})
        label->clear();
    m_backup->setText(QString::fromStdString(g_ProjectData.GetRestoreSourcePath()));
    // The confirmation is a dialog: not while the frame is still switching pages.
    QTimer::singleShot(0, this, &CRestoreRunPage::Begin);
}

bool CRestoreRunPage::OnKillActive()
{
    return !IsRunning();
}

bool CRestoreRunPage::IsRunning() const
{
    return m_context.notify.IsRunningFor(this);
}

void CRestoreRunPage::Begin()
{
    CRestoreConfirmDialog confirm(g_ProjectData.GetRestoreSourcePath(), this);
    if (CUiDialogs::Exec(confirm) != QDialog::Accepted || !HasTargetFolder()) {
        EnableButtons(true);
        pageid::PostGoTo(m_context.frame, pageid::kRestoreChoice);
        return;
    }
    m_context.sources.myFiles->SetRestoreLocation(g_Preferences.m_nResLocationType,
                                                  g_Preferences.m_strResLocation);
    const int code = m_context.engine.StartRestore(&m_context.notify);
    if (code != result::kSuccess) {
        Refused(code);
        return;
    }
    // The worker's messages reach this page only from the event loop: in time.
    m_context.notify.WorkerStarted(this);
    EnableButtons(false);
}

// A restore into a chosen folder needs one: an empty or relative folder would put the
// files wherever the program happens to run. Asks for it; false on Cancel.
bool CRestoreRunPage::HasTargetFolder()
{
    const std::string& folder = g_Preferences.m_strResLocation;
    if (g_Preferences.m_nResLocationType == 0 || (!folder.empty() && folder.front() == '/'))
        return true;
    std::string chosen;
    if (!CUiDialogs::AskFolder(this, CRestoreLocationPage::kPickerTitle, chosen) ||
        chosen.empty() || chosen.front() != '/')
        return false;
    g_Preferences.m_strResLocation = chosen;
    return true;
}

void CRestoreRunPage::Refused(int code)
{
    if (code == result::kNothingToRestore)
        MessageBoxRes(kTextNothingToRestore, MB_OK | MB_ICONERROR);
    else if (code == result::kRestoreCancel)
        MessageBoxRes(kTextMailProgramOpen, MB_OK | MB_ICONERROR);
    else
        Prompt().MessageBox(std::string("The restore cannot start: ") + result::GetName(code) +
                                ".\n" + result::GetDescription(code),
                            MB_OK | MB_ICONERROR);
    EnableButtons(true);
    pageid::PostGoTo(m_context.frame, pageid::kRestoreChoice);
}

void CRestoreRunPage::Stop()
{
    if (!IsRunning())
        return;
    m_context.notify.CancelAndWait(
        [this] {
            m_context.engine.GetProgress().m_StopEvent.Set();
            m_context.engine.RequestCancel();
        },
        [this] { m_context.engine.WaitForWorker(); });
}

void CRestoreRunPage::OnProgress(const CProgressSnapshot& snapshot)
{
    if (!IsRunning())
        return;
    if (!snapshot.running) {
        ResetBars();
        return;
    }
    m_section->setRange(0, std::max(1, CProgressSnapshot::Range(snapshot.jobTotal)));
    m_section->setValue(CProgressSnapshot::Position(snapshot.jobDone, snapshot.jobTotal));
    m_total->setValue(CProgressSnapshot::Position(m_qwFinished + snapshot.jobDone, m_qwTotal));
}

void CRestoreRunPage::OnEvent(int code, qintptr value, const QString& text)
{
    if (!IsRunning())
        return;
    switch (code) {
    case notify::kRestoreSection:
        m_heading->setText(text);
        break;
    case notify::kRestorePath:
        m_status->setText(text);
        break;
    case notify::kRestoreDone:
        m_bFinished = true;
        ResetBars();
        m_heading->clear();
        m_status->setText(QString::fromStdString(LoadResString(kTextFinished)));
        break;
    case notify::kRestoreStarted:
        m_qwTotal = m_context.engine.GetRestoreTotalBytes();
        m_qwFinished = 0;
        m_total->setRange(0, std::max(1, CProgressSnapshot::Range(m_qwTotal)));
        m_size->setText(QString::fromStdString(g_Globals.FormatSize(m_qwTotal)));
        m_items->setText(QStringLiteral("%1 Items(s)").arg(m_context.engine.GetRestoreItemCount()));
        break;
    case notify::kRestoreSectionEnded:
        m_qwFinished += static_cast<std::uint64_t>(value);
        break;
    default:
        break;
    }
}

void CRestoreRunPage::OnWorkerEnded()
{
    if (!m_context.notify.IsRunFor(this))
        return;
    m_context.engine.WaitForWorker();
    EnableButtons(true);
    if (m_bFinished)
        ShowFinished();
    else
        ShowStopped();
    emit restoreEnded(m_bFinished);
}

void CRestoreRunPage::ShowStopped()
{
    ResetBars();
    m_heading->clear();
    m_status->setText(QStringLiteral("The restore was stopped. The files restored until "
                                     "then are in place; the report tells more."));
}

// The end of the run reset the bars; a finished restore shows them full.
void CRestoreRunPage::ShowFinished()
{
    for (QProgressBar* bar : {m_section, m_total})
        bar->setValue(bar->maximum());
    if (const std::uint32_t failed = m_context.engine.GetRestoreFailures(); failed > 0)
        m_status->setText(m_status->text() +
                          QStringLiteral("\n%1 item(s) could not be restored; the report names "
                                         "them.")
                              .arg(failed));
}
