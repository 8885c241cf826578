// The main window's restore pages and how they hand a newly opened backup on.
#include "MainWindow.h"

#include "RestoreChoicePage.h"
#include "RestoreFilePage.h"
#include "RestoreLocationPage.h"
#include "RestoreRunPage.h"
#include "SelectionPage.h"
#include "TvPropertiesPages.h"

void CMainWindow::CreateRestorePages()
{
    m_restoreFile = new CRestoreFilePage(m_context);
    m_restoreChoice = new CRestoreChoicePage(m_context);
    m_restoreLocation = new CRestoreLocationPage(m_context);
    m_restoreRun = new CRestoreRunPage(m_context);
    for (CTvPageDlg* page : std::initializer_list<CTvPageDlg*>{m_restoreFile, m_restoreChoice,
                                                               m_restoreLocation, m_restoreRun})
        m_pages->InsertPage(page->GetDialogId(), page, CTvPropertiesPages::kShowStrip);
    // The trees of a backup point into its catalogue: they are emptied before another
    // backup is opened and built from the new catalogue, the My Files source filling
    // the one handed to it. Opening resets the engine, and so does building the backup
    // tree: the identities' pages of both sides let go of the identities first.
    connect(m_restoreFile, &CRestoreFilePage::closing, this, [this] {
        m_selection->ReleaseIdentities();
        m_restoreChoice->Clear();
        m_restoreLocation->Clear();
    });
    connect(m_selection, &CSelectionPage::resetting, m_restoreChoice, &CRestoreChoicePage::Clear);
    connect(m_restoreFile, &CRestoreFilePage::opened, this, [this] {
        m_restoreChoice->Build();
        m_restoreLocation->Build();
    });
}
