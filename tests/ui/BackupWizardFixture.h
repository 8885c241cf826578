#pragma once

// The main window with the real engine and sources over the test's home folder, and
// the steps a user takes through the backup pages: name a job, choose a folder
// medium, tick a folder in My Files, set the password, run and wait for the end.
#include "BackupManger.h"
#include "CollectDialog.h"
#include "DataSources.h"
#include "FolderMediumPage.h"
#include "Globals.h"
#include "HtmlServices.h"
#include "ItemsTreeWnd.h"
#include "JobPage.h"
#include "MainWindow.h"
#include "MediumPage.h"
#include "MyFilesPage.h"
#include "PageIds.h"
#include "Preferences.h"
#include "ProjectData.h"
#include "QtNotify.h"
#include "QtPrompt.h"
#include "ResourceLibrary.h"
#include "RunPage.h"
#include "SelectionPage.h"
#include "SettingsPage.h"
#include "StartPage.h"
#include "TempDir.h"
#include "TvPropertiesPages.h"
#include "UiDialogs.h"
#include "WidgetTestUtil.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace wizardtest {

// A command's output and error text; "EXIT FAILED" is added when it fails.
inline std::string Output(const std::string& command)
{
    std::string text;
    if (FILE* pipe = popen((command + " 2>&1 </dev/null").c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        if (pclose(pipe) != 0)
            text += "\nEXIT FAILED";
    }
    return text;
}

inline bool Failed(const std::string& output)
{
    return output.find("EXIT FAILED") != std::string::npos;
}

// The first file of that name below `folder`; empty when there is none.
inline std::string FindBelow(const std::string& folder, const std::string& name)
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec))
        if (entry.path().filename() == name)
            return entry.path().string();
    return {};
}

class BackupWizardTest : public tbmtest::TempDirTest
{
protected:
    void SetUp() override
    {
        TextResources().Load(g_Globals.GetProgramPath(kTextResFileName));
        InstallHtmlServices();
        SetPrompt(&m_prompt);
        // Jobs are saved in the process's home folder: those of other tests go.
        std::vector<std::string> jobs;
        g_ProjectData.ListJobs(jobs);
        for (std::size_t i = 1; i < jobs.size(); ++i)
            g_ProjectData.DeleteJob(jobs[i]);
        g_ProjectData.NewJob();
        g_ProjectData.SetWorkFolderPath(g_Globals.CreateTempFolder());
        g_Preferences.m_nBComplete = 1;
        g_Preferences.m_nQuitb = 0;
        m_sources = CDataSources::Install(m_engine);
        m_window = std::make_unique<CMainWindow>(m_engine, m_sources);
        m_window->show();
    }
    void TearDown() override
    {
        m_window.reset();
        SetPrompt(nullptr);
        CUiDialogs::ClearAnswers();
    }
    unsigned Page() const { return m_window->GetPages()->GetCurrentPageDlg(); }
    void Next()
    {
        m_window->GetPages()->OnNext();
        QCoreApplication::processEvents();
    }
    void Settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
    void GoTo(unsigned page)
    {
        pageid::PostGoTo(m_window->GetPages(), page);
        Settle();
    }
    // The test's folder in the home folder: docs/a.txt, docs/sub/b.txt, docs/skip.bin.
    std::string MakeTree()
    {
        // The home folder is the process's: another test's files are removed.
        const std::string docs = std::string(std::getenv("HOME")) + "/wizard/docs";
        std::filesystem::remove_all(docs);
        std::filesystem::create_directories(docs + "/sub");
        tbmtest::WriteFileBytes(docs + "/a.txt", "first file\n");
        tbmtest::WriteFileBytes(docs + "/sub/b.txt", std::string(100000, 'b'));
        tbmtest::WriteFileBytes(docs + "/skip.bin", "left out");
        return docs;
    }
    // From the start page to 154: a new job of that name (`fresh`) or the saved one.
    void ChooseJob(const std::string& name, bool fresh)
    {
        m_window->GetStartPage()->OnBrowserEvent("backup", {}, {});
        Settle();
        ASSERT_EQ(Page(), pageid::kJob);
        CJobPage* job = m_window->GetJobPage();
        if (!fresh) {
            const auto rows =
                job->GetJobList()->findItems(QString::fromStdString(name), Qt::MatchExactly);
            ASSERT_EQ(rows.size(), 1);
            job->GetJobList()->setCurrentItem(rows.front());
            return;
        }
        job->GetJobList()->setCurrentRow(0);
        job->GetNameEdit()->clear();
        QTest::keyClicks(job->GetNameEdit(), QString::fromStdString(name));
        EXPECT_EQ(job->GetFileNameEdit()->text().toStdString(), name + ".tbm");
    }
    // From 154 over 156 (a folder) to 132.
    void FolderMedium(const std::string& folder, const char* picture = nullptr)
    {
        Next();
        ASSERT_EQ(Page(), pageid::kMedium);
        CMediumPage* medium = m_window->GetMediumPage();
        medium->ChooseMedium(0);
        static_cast<CFolderMediumPage*>(medium->GetSubPage(0))
            ->GetFolderEdit()
            ->setText(QString::fromStdString(folder));
        if (picture)
            widgettest::SaveBothRatios(*m_window, picture);
        Next();
        ASSERT_EQ(Page(), pageid::kSelection);
    }
    // A new job of that name writing into the test's "out" folder, up to 132.
    void NameJobAndMedium(const std::string& name, const char* picture = nullptr)
    {
        ChooseJob(name, true);
        FolderMedium(m_dir / "out", picture);
    }
    // From 132 to 142, where `folder` is shown; its item.
    TvTreeItem ShowMyFolder(const std::string& folder)
    {
        m_window->GetSelectionPage()->GetMyFilesButton()->click();
        Settle();
        EXPECT_EQ(Page(), pageid::kMyFiles);
        return m_window->GetMyFilesPage()->ShowFolder(folder);
    }
    int MyFolderState(const std::string& folder)
    {
        const TvTreeItem item = m_window->GetMyFilesPage()->ShowFolder(folder);
        return item ? m_window->GetMyFilesPage()->GetTree()->GetModel().GetItemCheckState(item)
                    : -1;
    }
    // From 132: `folder` ticked in My Files, then on to 135.
    void TickMyFolder(const std::string& folder)
    {
        const TvTreeItem item = ShowMyFolder(folder);
        ASSERT_TRUE(item);
        m_window->GetMyFilesPage()->GetTree()->CheckItem(item, tvcheck::kCheck);
        Next();
        ASSERT_EQ(Page(), pageid::kSettings);
    }
    // On 135: the password box and both fields (an empty password unticks the box).
    void SetPassword(const std::string& password)
    {
        CSettingsPage* settings = m_window->GetSettingsPage();
        settings->GetPasswordBox()->setChecked(!password.empty());
        settings->GetPasswordEdit()->setText(QString::fromStdString(password));
        settings->GetConfirmEdit()->setText(QString::fromStdString(password));
    }
    // The collection dialog is answered with OK once its collection has ended well.
    static void QueueCollectOk()
    {
        CUiDialogs::QueueAnswer([](CUiDialogs::Request& request) {
            auto* collect = static_cast<CCollectDialog*>(request.dialog);
            EXPECT_EQ(collect->Collect(), 0);
            return CCollectDialog::kGoOn;
        });
    }
    // From 135: collection and run; the completion dialog is declined. The run's
    // last event code.
    int RunWithoutVerifying()
    {
        QueueCollectOk();
        CUiDialogs::QueueAnswer(static_cast<int>(QDialog::Rejected));
        Next();
        EXPECT_EQ(Page(), pageid::kRun);
        return WaitForRunEnd();
    }
    // Runs until the run page reports the end of a run that started no other (the
    // verification after a backup); its last event code.
    int WaitForRunEnd()
    {
        int code = -2;
        QEventLoop loop;
        QObject::connect(m_window->GetRunPage(), &CRunPage::runEnded, &loop, [&](int last) {
            code = last;
            if (!m_window->GetContext().notify.IsWorkerRunning())
                loop.quit();
        });
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
        return code;
    }

    CQtPrompt m_prompt;
    CBackupManger m_engine;
    InstalledSources m_sources;
    std::unique_ptr<CMainWindow> m_window;
};

} // namespace wizardtest
