#pragma once

#include "QtNotify.h"
#include "WizardContext.h"

#include <QDialog>

class CBackupManger;
class CJobPage;
class CMediumPage;
class CMyFilesPage;
class CRestoreChoicePage;
class CRestoreFilePage;
class CRestoreLocationPage;
class CRestoreRunPage;
class CRunPage;
class CSelectionPage;
class CSettingsPage;
class CStartPage;
class CTvPropertiesPages;

// The main window: the page frame with the start page, the five backup pages and the
// restore pages, under menu 179. Closing it while a job runs asks (221) and stops
// the job first; unless "Quitb" is set, it asks before closing.
class CMainWindow : public QDialog
{
    Q_OBJECT
public:
    CMainWindow(CBackupManger& engine, const InstalledSources& sources);
    ~CMainWindow() override;

    CWizardContext& GetContext() { return m_context; }
    CTvPropertiesPages* GetPages() const { return m_pages; }
    CStartPage* GetStartPage() const { return m_start; }
    CJobPage* GetJobPage() const { return m_job; }
    CMediumPage* GetMediumPage() const { return m_medium; }
    CSelectionPage* GetSelectionPage() const { return m_selection; }
    CMyFilesPage* GetMyFilesPage() const { return m_myFiles; }
    CSettingsPage* GetSettingsPage() const { return m_settings; }
    CRunPage* GetRunPage() const { return m_run; }
    CRestoreFilePage* GetRestoreFilePage() const { return m_restoreFile; }
    CRestoreChoicePage* GetRestoreChoicePage() const { return m_restoreChoice; }
    CRestoreLocationPage* GetRestoreLocationPage() const { return m_restoreLocation; }
    CRestoreRunPage* GetRestoreRunPage() const { return m_restoreRun; }

    // The questions before closing; false keeps the window open.
    bool CanClose();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape closes as the window's close button does.
    void reject() override;

private:
    void CreateMenu();
    void CreatePages();
    void CreateRestorePages();
    void ShowAbout();

    CQtNotify m_notify;
    CWizardContext m_context;
    CTvPropertiesPages* m_pages;
    CStartPage* m_start = nullptr;
    CJobPage* m_job = nullptr;
    CMediumPage* m_medium = nullptr;
    CSelectionPage* m_selection = nullptr;
    CMyFilesPage* m_myFiles = nullptr;
    CSettingsPage* m_settings = nullptr;
    CRunPage* m_run = nullptr;
    CRestoreFilePage* m_restoreFile = nullptr;
    CRestoreChoicePage* m_restoreChoice = nullptr;
    CRestoreLocationPage* m_restoreLocation = nullptr;
    CRestoreRunPage* m_restoreRun = nullptr;
    bool m_closing = false;
};
