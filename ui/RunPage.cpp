#include "RunPage.h"

#include "BackupManger.h"
#include "CollectDialog.h"
#include "Globals.h"
#include "HtmlReport.h"
#include "PageIds.h"
#include "PageLayout.h"
#include "PreferenceDialog.h"
#include "Preferences.h"
#include "ProjectData.h"
#include "Prompt.h"
#include "QtNotify.h"
#include "ResourceLibrary.h"
#include "RunOptions.h"
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

#include <sys/stat.h>

namespace {

QString Res(unsigned id)
{
    return QString::fromStdString(LoadResString(id));
}

// Types whose own count drives the bar: adding, extracting, testing, copying.
bool IsFileAction(int type)
{
    return type == 2 || type == 4 || type == 16 || type == 1024;
}

} // namespace

CRunPage::CRunPage(CWizardContext& context) : CTvPageDlg(kDialogId), m_context(context)
{
    m_job = pagelayout::Plain(QString(), this);
    m_type = pagelayout::Plain(QString(), this);
    m_output = pagelayout::Plain(QString(), this);
    m_status = pagelayout::Plain(QString(), this);
    m_fileNumber = pagelayout::Plain(QString(), this);
    for (QLabel*& count : m_counts)
        count = pagelayout::Plain(QStringLiteral("0"), this);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setFormat(QStringLiteral("%p%"));
    m_stop = new QPushButton(QStringLiteral("&Stop"), this);
    m_report = new QPushButton(QStringLiteral("&Report"), this);
    m_verify = new QPushButton(QStringLiteral("&Verify"), this);
    m_first = new QPushButton(QStringLiteral("&First page"), this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Job:"), m_job);
    form->addRow(QStringLiteral("Backup type:"), m_type);
    form->addRow(QStringLiteral("Backup file:"), m_output);
    form->addRow(QStringLiteral("New files:"), m_counts[1]);
    form->addRow(QStringLiteral("Replaced files:"), m_counts[2]);
    form->addRow(QStringLiteral("Unchanged files:"), m_counts[3]);
    form->addRow(QStringLiteral("Removed files:"), m_counts[0]);
    form->addRow(QStringLiteral("File:"), m_fileNumber);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_stop, m_report, m_verify, m_first})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("Backing up"), this));
    layout->addLayout(form);
    layout->addWidget(m_bar);
    layout->addWidget(m_status);
    layout->addStretch(1);
    layout->addLayout(buttons);
    m_stop->setEnabled(false);
    connect(m_stop, &QPushButton::clicked, this, &CRunPage::Stop);
    connect(m_verify, &QPushButton::clicked, this, &CRunPage::StartVerify);
    connect(m_report, &QPushButton::clicked, this,
            [] { g_Globals.OpenDocument(CHtmlReport::GetBackupReportPath(), false); });
    connect(m_first, &QPushButton::clicked, this,
            [this] { TvPostMessage(m_context.frame, tvmsg::kFirstPage); });
    connect(&m_context.notify, &CQtNotify::progress, this, &CRunPage::OnProgress);
    connect(&m_context.notify, &CQtNotify::engineEvent, this, &CRunPage::OnEvent);
    connect(&m_context.notify, &CQtNotify::workerEnded, this, &CRunPage::OnWorkerEnded);
}

QString CRunPage::GetCountText(int code) const
{
    return code >= 0 && code < 4 ? m_counts[code]->text() : QString();
}

void CRunPage::EnableButtons(bool enable)
{
    for (QPushButton* button : {m_report, m_verify, m_first})
        button->setEnabled(enable);
    m_stop->setEnabled(!enable);
    pagelayout::EnableStripForRun(m_context.frame, enable);
}

void CRunPage::OnSetActive()
{
    EnableButtons(false);
    m_stop->setEnabled(false);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    for (QLabel* count : m_counts)
        count->setText(QStringLiteral("0"));
    m_status->clear();
    m_fileNumber->clear();
    m_lastCode = -1;
    QTimer::singleShot(0, this, &CRunPage::Begin);
}

bool CRunPage::OnKillActive()
{
    return !m_context.notify.IsWorkerRunning();
}

void CRunPage::Begin()
{
    if (!m_lock.Acquire(g_ProjectData.GetJobFolder())) {
        CUiDialogs::MessageBox(this,
                               "The backup job \"" + g_ProjectData.GetJobName() +
                                   "\" is running in another Tovan Backup Manager process.\n"
                                   "Please wait until it has finished, then try again.",
                               MB_OK | MB_ICONERROR);
        pageid::PostGoTo(m_context.frame, pageid::kSettings);
        return;
    }
    CCollectDialog collect(m_context, this);
    const int result = CUiDialogs::Exec(collect);
    if (result != CCollectDialog::kGoOn) {
        m_lock.Release();
        pageid::PostGoTo(m_context.frame,
                         result == CCollectDialog::kNoRoom ? pageid::kMedium : pageid::kSelection);
        return;
    }
    if (!m_context.engine.WriteCatalogue()) {
        m_lock.Release();
        MessageBoxRes(127, MB_OK | MB_ICONERROR);
        pageid::PostGoTo(m_context.frame, pageid::kSettings);
        return;
    }
    m_job->setText(QString::fromStdString(g_ProjectData.GetJobName()));
    m_type->setText(QString::fromStdString(g_ProjectData.GetBackupTypeText()));
    m_output->setText(QString::fromStdString(g_ProjectData.GetOutputPath()));
    StartWorker(false);
}

void CRunPage::StartWorker(bool verify)
{
    EnableButtons(false);
    m_lastCode = -1;
    m_context.notify.WorkerStarted(this);
    if (verify)
        m_context.engine.Verify(&m_context.notify);
    else
        m_context.engine.StartBackup(&m_context.notify);
}

void CRunPage::StartVerify()
{
    if (m_context.notify.IsWorkerRunning())
        return;
    m_bar->setValue(0);
    StartWorker(true);
}

void CRunPage::Stop()
{
    m_context.notify.CancelAndWait([this] { m_context.engine.RequestCancel(); },
                                   [this] { m_context.engine.WaitForWorker(); });
}

// Runs this page did not start (a restore's) are not shown here.
void CRunPage::OnProgress(const CProgressSnapshot& snapshot)
{
    if (!m_context.notify.IsRunningFor(this))
        return;
    if (!snapshot.running) {
        m_bar->setValue(0);
        return;
    }
    if (snapshot.type == 0)
        return;
    const bool action = IsFileAction(snapshot.type);
    const bool useAction = action || snapshot.type == 32 || snapshot.type == 512;
    const std::uint64_t total = useAction ? snapshot.actionTotal : snapshot.jobTotal;
    if (snapshot.newAction || (action && !IsFileAction(m_lastType)))
        m_bar->setRange(0, std::max(1, CProgressSnapshot::Range(total)));
    m_lastType = snapshot.type;
    const std::uint64_t done = action ? snapshot.actionDone : snapshot.jobDone;
    m_bar->setValue(CProgressSnapshot::Position(done, total));
}

void CRunPage::OnEvent(int code, qintptr value, const QString& text)
{
    if (!m_context.notify.IsRunningFor(this))
        return;
    m_lastCode = code;
    switch (code) {
    case 0:
        m_counts[0]->setText(QString::number(value));
        m_status->setText(Res(206));
        break;
    case 1:
        m_counts[1]->setText(QStringLiteral("%1 File(s)").arg(value));
        break;
    case 2:
    case 3:
        m_counts[code]->setText(QString::number(value));
        break;
    case 10:
        m_status->setText(Res(189));
        break;
    case 11:
        m_status->setText(Res(188));
        break;
    case 12:
        m_status->setText(QStringLiteral("Adding ") + text);
        break;
    case 13:
        m_fileNumber->setText(QStringLiteral("%1 of %2").arg(value).arg(m_fileCount));
        break;
    case 14:
        m_fileCount = static_cast<int>(value);
        break;
    case 15:
        m_status->setText(QStringLiteral("Verifying ") + text);
        break;
    case 16:
        m_status->setText(Res(198));
        break;
    case 17:
        m_status->setText(Res(197));
        break;
    default:
        break;
    }
}

// Reactions wait for the worker's end: the next run may start only once it is joined.
void CRunPage::OnWorkerEnded()
{
    if (!m_context.notify.IsRunFor(this))
        return;
    m_context.engine.WaitForWorker();
    EnableButtons(true);
    const int code = m_lastCode;
    // The engine's last progress message (not running) showed 0; a finished run
    // shows a full bar.
    if (code == 10 || code == 17)
        m_bar->setValue(m_bar->maximum());
    if (code == 10)
        AfterBackup();
    else if (code == 16 || code == 17)
        EndUnattended();
    else
        m_lock.Release();
    emit runEnded(code);
}

void CRunPage::AfterBackup()
{
    if (g_bExecuteJob) {
        if (g_bValidate)
            StartVerify();
        else
            EndUnattended();
        return;
    }
    if (g_Preferences.m_nBComplete == 1) {
        CPreferenceDialog complete(
            {Res(189), QStringLiteral("Click OK to verify the new backup file now: every file "
                                      "in it is read back and tested.")},
            QStringLiteral("&Show this message after every backup"), g_Preferences.m_nBComplete,
            this);
        if (CUiDialogs::Exec(complete) == QDialog::Accepted) {
            StartVerify();
            return;
        }
    }
    m_lock.Release();
}

void CRunPage::EndUnattended()
{
    m_lock.Release();
    if (!g_bExecuteJob)
        return;
    struct stat st
    {
    };
    const std::string report = CHtmlReport::GetBackupReportPath();
    if (g_bShowReport && ::stat(report.c_str(), &st) == 0)
        g_Globals.OpenDocument(report, false);
    if (g_bExitWhenDone)
        m_context.exitProgram();
}
