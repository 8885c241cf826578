#include "RestoreFilePage.h"

#include "BackupManger.h"
#include "FileArgument.h"
#include "IniFile.h"
#include "MainCatalogue.h"
#include "OEIdentities.h"
#include "OETargetChooser.h"
#include "PageIds.h"
#include "PageLayout.h"
#include "ProjectData.h"
#include "Prompt.h"
#include "ResultCodes.h"
#include "TvPropertiesPages.h"
#include "UiDialogs.h"
#include "WizardContext.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr unsigned kTextNoBackup = 128;

} // namespace

CRestoreFilePage::CRestoreFilePage(CWizardContext& context)
    : CTvPageDlg(kDialogId), m_context(context)
{
    m_path = new QLineEdit(this);
    m_path->setReadOnly(true);
    m_browse = new QPushButton(QStringLiteral("&Browse..."), this);
    m_name = pagelayout::Plain(QString(), this);
    m_description = pagelayout::Plain(QString(), this);
    m_date = pagelayout::Plain(QString(), this);
    m_time = pagelayout::Plain(QString(), this);
    auto* file = new QHBoxLayout;
    file->addWidget(m_path, 1);
    file->addWidget(m_browse);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Backup file:"), file);
    form->addRow(QStringLiteral("Job:"), m_name);
    form->addRow(QStringLiteral("Description:"), m_description);
    form->addRow(QStringLiteral("Date:"), m_date);
    form->addRow(QStringLiteral("Time:"), m_time);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("Restore"), this));
    layout->addWidget(pagelayout::Plain(
        QStringLiteral("Choose the backup file to restore from. Its job, date and time are "
                       "shown below once it is open."),
        this));
    layout->addLayout(form);
    layout->addStretch(1);
    connect(m_browse, &QPushButton::clicked, this, &CRestoreFilePage::Browse);
}

void CRestoreFilePage::OnSetActive()
{
    m_context.frame->SetBtnPrivousPage(pageid::kStart);
    // The backup pages built their trees since: the sources hold the backup's
    // selection now, and the open backup must be read again.
    std::string path = m_bOpen && !m_context.treesStale ? m_path->text().toStdString() : "";
    m_bOpen = m_bOpen && path.empty();
    // Coming back from the later pages keeps the backup that is open.
    if (!m_bOpen)
        ClearFields();
    m_context.frame->EnableNextButton(m_bOpen);
    if (!g_FileArgument.IsEmpty())
        path = g_FileArgument.TakePath();
    if (path.empty())
        return;
    // Opening may ask for a password: not while the frame is still switching pages.
    QTimer::singleShot(0, this, [this, path] { Open(path); });
}

void CRestoreFilePage::ClearFields()
{
    for (QLabel* field : {m_name, m_description, m_date, m_time})
        field->clear();
}

void CRestoreFilePage::Browse()
{
    CPrompt::FileDialog dialog;
    dialog.filter = kFilter;
    dialog.pattern = "*.tbm";
    dialog.defaultExtension = "tbm";
    std::string path = m_path->text().toStdString();
    if (CUiDialogs::AskFileName(this, dialog, path))
        Open(path);
}

bool CRestoreFilePage::Open(const std::string& path)
{
    m_bOpen = false;
    m_context.frame->EnableNextButton(false);
    ClearFields();
    m_path->setText(QString::fromStdString(path));
    emit closing();
    const int code = m_context.engine.OpenBackup(path);
    if (code == result::kBadPassword)
        return false;
    if (code != result::kSuccess || !ReadCatalogue() || !LoadIdentities()) {
        Refuse();
        return false;
    }
    ShowMainData();
    m_bOpen = true;
    // The other pages may have to be built anew for this backup.
    m_context.treesStale = true;
    if (m_context.frame->GetCurrentPageDlg() == kDialogId)
        m_context.frame->EnableNextButton(true);
    return true;
}

// Reads the catalogue into the engine and has the restore trees built from it.
bool CRestoreFilePage::ReadCatalogue()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CBackupManger& engine = m_context.engine;
    engine.Reset();
    engine.SetMode(1);
    bool read = engine.ReadMainCatalogue() != 0;
    if (read) {
        // The sources report what they refuse while they load: the report starts first.
        engine.GetReport().RestoreHeader();
        emit opened();
        read = engine.LoadSourcesForRestore() == result::kSuccess;
    }
    QApplication::restoreOverrideCursor();
    return read;
}

// Every identity of the backup with the identity it goes into: itself when this
// system has it, else the one the user chooses now (or later on its page).
bool CRestoreFilePage::LoadIdentities()
{
    if (!m_context.sources.identities)
        return true;
    COETargetChooser chooser(*m_context.sources.identities, this);
    std::string failed;
    return COEIdentities::LoadRestoreIdentities(
        m_context.engine, [&chooser](const COEData& data) { return chooser.ChooseFor(data); },
        failed);
}

// A file that is no readable backup: nothing of it stays open.
void CRestoreFilePage::Refuse()
{
    emit closing();
    m_context.engine.Close();
    MessageBoxRes(kTextNoBackup, MB_OK | MB_ICONERROR);
}

void CRestoreFilePage::ShowMainData()
{
    CIniFile ini(g_ProjectData.GetPathInWorkFolder(CMainCatalogue::kMainDataName));
    ini.ReadFile();
    const auto show = [&ini](QLabel* label, const char* name) {
        label->setText(QString::fromStdString(ini.GetValue("Main", name)));
    };
    show(m_name, "ProjectName");
    show(m_description, "ProjectDescription");
    show(m_date, "ProjectDate");
    show(m_time, "ProjectTime");
}
