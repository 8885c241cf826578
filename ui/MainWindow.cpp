#include "MainWindow.h"

#include "BackupManger.h"
#include "DetailPage.h"
#include "JobPage.h"
#include "MediumPage.h"
#include "MyFilesPage.h"
#include "PageIds.h"
#include "PreferenceDialog.h"
#include "Preferences.h"
#include "Prompt.h"
#include "ResourceLibrary.h"
#include "RunOptions.h"
#include "RunPage.h"
#include "ScheduleWizard.h"
#include "SelectionPage.h"
#include "SettingsPage.h"
#include "StartPage.h"
#include "TvPropertiesPages.h"
#include "UiDialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QVBoxLayout>

namespace {

constexpr unsigned kFrameId = 1073;

} // namespace

CMainWindow::CMainWindow(CBackupManger& engine, const InstalledSources& sources)
    : m_context{engine, m_notify, sources, nullptr, [this] { close(); }, true}
{
    setWindowTitle(CUiDialogs::Caption());
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    resize(820, 600);
    m_pages = new CTvPropertiesPages(this);
    m_pages->Create(this, QRect(0, 0, 820, 580),
                    CTvPropertiesPages::kStylePrevious | CTvPropertiesPages::kStyleNext |
                        CTvPropertiesPages::kStyleExit,
                    kFrameId);
    m_context.frame = m_pages;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    CreateMenu();
    layout->addWidget(m_pages);
    CreatePages();
    connect(m_pages, &CTvPropertiesPages::buttonClicked, this, [this](int id) {
        if (id == CTvPropertiesPages::kExitId)
            close();
    });
    m_pages->SetPage(0);
}

CMainWindow::~CMainWindow() = default;

void CMainWindow::CreateMenu()
{
    auto* bar = new QMenuBar(this);
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Back up..."), this,
                    [this] { pageid::PostGoTo(m_pages, pageid::kJob); });
    file->addAction(QStringLiteral("&Schedule..."), this, [this] {
        CScheduleWizard wizard(this);
        CUiDialogs::Exec(wizard);
    });
    file->addSeparator();
    file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    const std::string about = LoadResString(101);
    if (!about.empty())
        help->addAction(QString::fromStdString(about), this, &CMainWindow::ShowAbout);
    layout()->setMenuBar(bar);
}

void CMainWindow::CreatePages()
{
    m_start = new CStartPage(m_context);
    m_start->Create(m_pages, m_pages->GetClientRect(), static_cast<int>(pageid::kStart));
    m_start->CreateHtmlWnd(QRect(QPoint(0, 0), m_pages->GetClientRect().size()),
                           CStartPage::kPageName, kPageResFileName);
    m_pages->InsertPage(m_start, CTvPropertiesPages::kHideStrip);
    m_job = new CJobPage(m_context);
    m_medium = new CMediumPage(m_context);
    m_selection = new CSelectionPage(m_context);
    m_myFiles = new CMyFilesPage(m_context);
    m_settings = new CSettingsPage(m_context);
    m_run = new CRunPage(m_context);
    for (CTvPageDlg* page : std::initializer_list<CTvPageDlg*>{m_job, m_medium, m_selection,
                                                               m_myFiles, m_settings, m_run})
        m_pages->InsertPage(page->GetDialogId(), page, CTvPropertiesPages::kShowStrip);
    connect(m_selection, &CSelectionPage::myFilesNeeded, m_myFiles, &CMyFilesPage::Prepare);
    CreateRestorePages();
}

void CMainWindow::ShowAbout()
{
    CUiDialogs::MessageBox(this,
                           "Tovan Backup Manager 1.1\nKeeps your files and settings in one "
                           "backup file.",
                           MB_OK | MB_ICONINFORMATION);
}

bool CMainWindow::CanClose()
{
    if (g_bExecuteJob)
        return true;
    if (m_notify.IsWorkerRunning()) {
        if (MessageBoxRes(221, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_run->Stop();
        QApplication::restoreOverrideCursor();
    }
    if (g_Preferences.m_nQuitb == 0) {
        CPreferenceDialog confirm({QStringLiteral("Do you want to close Tovan Backup Manager?")},
                                  QStringLiteral("&Close without asking from now on"),
                                  g_Preferences.m_nQuitb, this);
        if (CUiDialogs::Exec(confirm) != QDialog::Accepted)
            return false;
    }
    return true;
}

void CMainWindow::closeEvent(QCloseEvent* event)
{
    // A job ended by a question asked here may itself close the window (unattended).
    if (m_closing || !CanClose()) {
        event->ignore();
        return;
    }
    m_closing = true;
    m_context.engine.WaitForWorker();
    event->accept();
    done(QDialog::Accepted);
}

void CMainWindow::reject()
{
    close();
}
