// The backup side of the window as a user walks it: start page, a new job, a folder
// medium, My Files with a folder ticked and one file left out, a password typed
// wrong and then right, the collection, the run and its verification; the backup
// is then read back by 7-Zip. And the ways back: nothing chosen returns to
// the selection page.
#include "BackupManger.h"
#include "CollectDialog.h"
#include "DataSources.h"
#include "FolderMediumPage.h"
#include "FolderTree.h"
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
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string Output(const std::string& command)
{
    std::string text;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        if (pclose(pipe) != 0)
            text += "\nEXIT FAILED";
    }
    return text;
}

// The first file of that name below `folder`; empty when there is none.
std::string FindBelow(const std::string& folder, const std::string& name)
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
        g_ProjectData.NewJob();
        g_ProjectData.SetWorkFolderPath(g_Globals.CreateTempFolder());
        g_Preferences.m_nBComplete = 1;
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
    // A new job of that name writing into a folder of the test.
    void NameJobAndMedium(const std::string& name)
    {
        m_window->GetStartPage()->OnBrowserEvent("backup", {}, {});
        Settle();
        ASSERT_EQ(Page(), pageid::kJob);
        CJobPage* job = m_window->GetJobPage();
        job->GetJobList()->setCurrentRow(0);
        job->GetNameEdit()->clear();
        QTest::keyClicks(job->GetNameEdit(), QString::fromStdString(name));
        EXPECT_EQ(job->GetFileNameEdit()->text().toStdString(), name + ".tbm");
        Next();
        ASSERT_EQ(Page(), pageid::kMedium);
        CMediumPage* medium = m_window->GetMediumPage();
        medium->ChooseMedium(0);
        static_cast<CFolderMediumPage*>(medium->GetSubPage(0))
            ->GetFolderEdit()
            ->setText(QString::fromStdString(m_dir / "out"));
        widgettest::SaveBothRatios(*m_window, "wizard-156-folder");
        Next();
        ASSERT_EQ(Page(), pageid::kSelection);
    }
    // Runs until the run page reports a run's end; its last event code.
    int WaitForRunEnd()
    {
        int code = -2;
        QEventLoop loop;
        QObject::connect(m_window->GetRunPage(), &CRunPage::runEnded, &loop, [&](int last) {
            code = last;
            if (last != 10)
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

} // namespace

TEST_F(BackupWizardTest, AWholeBackupFromTheStartPageToAVerifiedArchive)
{
    const std::string home = std::string(std::getenv("HOME")) + "/wizard";
    std::filesystem::create_directories(home + "/docs/sub");
    tbmtest::WriteFileBytes(home + "/docs/a.txt", "first file\n");
    tbmtest::WriteFileBytes(home + "/docs/sub/b.txt", std::string(100000, 'b'));
    tbmtest::WriteFileBytes(home + "/docs/skip.bin", "left out");
    widgettest::SaveBothRatios(*m_window, "wizard-194-start");
    NameJobAndMedium("Docs");
    widgettest::SaveBothRatios(*m_window, "wizard-132-selection");

    m_window->GetSelectionPage()->GetMyFilesButton()->click();
    Settle();
    ASSERT_EQ(Page(), pageid::kMyFiles);
    CMyFilesPage* myFiles = m_window->GetMyFilesPage();
    const TvTreeItem docs = myFiles->ShowFolder(home + "/docs");
    ASSERT_TRUE(docs);
    CCheckTreeModel& tree = myFiles->GetTree()->GetModel();
    myFiles->GetTree()->CheckItem(docs, tvcheck::kCheck);
    EXPECT_TRUE(tvcheck::IsChecked(tree.GetItemCheckState(docs)));
    const auto files = myFiles->GetFileList()->findItems("skip.bin", Qt::MatchExactly);
    ASSERT_EQ(files.size(), 1);
    files.front()->setCheckState(Qt::Unchecked);
    EXPECT_EQ(tree.GetItemCheckState(docs), tvcheck::kPartial);
    EXPECT_TRUE(tvcheck::IsCheckedOrSubChecked(tree.GetItemCheckState(tree.GetParentItem(docs))));
    widgettest::SaveBothRatios(*m_window, "wizard-142-myfiles");

    Next();
    ASSERT_EQ(Page(), pageid::kSettings);
    CSettingsPage* settings = m_window->GetSettingsPage();
    settings->GetPasswordBox()->setChecked(true);
    settings->GetPasswordEdit()->setText("secret");
    settings->GetConfirmEdit()->setText("Secret");
    std::string said;
    CUiDialogs::QueueAnswer([&](CUiDialogs::Request& request) {
        said = request.text;
        return IDOK;
    });
    Next();
    EXPECT_EQ(Page(), pageid::kSettings);
    EXPECT_EQ(said, LoadResString(135));
    settings->GetConfirmEdit()->setText("secret");
    widgettest::SaveBothRatios(*m_window, "wizard-135-settings");

    CUiDialogs::QueueAnswer([&](CUiDialogs::Request& request) {
        auto* collect = static_cast<CCollectDialog*>(request.dialog);
        EXPECT_EQ(collect->Collect(), 0);
        EXPECT_TRUE(collect->GetOkButton()->isEnabled());
        collect->resize(collect->sizeHint());
        widgettest::SaveBothRatios(*collect, "wizard-137-collect");
        return CCollectDialog::kGoOn;
    });
    CUiDialogs::QueueAnswer([&](CUiDialogs::Request& request) {
        EXPECT_EQ(request.kind, CUiDialogs::Request::kDialog);
        return static_cast<int>(QDialog::Accepted); // the completion dialog: verify
    });
    Next();
    ASSERT_EQ(Page(), pageid::kRun);
    EXPECT_EQ(WaitForRunEnd(), 17);
    CRunPage* run = m_window->GetRunPage();
    EXPECT_EQ(run->GetStatus()->text().toStdString(), LoadResString(197));
    EXPECT_TRUE(run->GetVerifyButton()->isEnabled());
    EXPECT_EQ(CUiDialogs::PendingAnswers(), 0u);
    widgettest::SaveBothRatios(*m_window, "wizard-136-finished");

    // The job's default encryption is AES-256, which 7-Zip reads.
    const std::string backup = g_ProjectData.GetOutputPath();
    EXPECT_EQ(backup, m_dir / "out/Docs.tbm");
    const std::string listing = Output("7zz l -slt '" + backup + "'");
    EXPECT_NE(listing.find("docs/a.txt"), std::string::npos) << listing;
    EXPECT_NE(listing.find("docs/sub/b.txt"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("skip.bin"), std::string::npos) << listing;
    EXPECT_NE(listing.find("AES-256"), std::string::npos) << listing;
    EXPECT_NE(Output("7zz t -pwrong '" + backup + "'").find("EXIT FAILED"), std::string::npos);
    const std::string out = m_dir / "peer";
    EXPECT_EQ(Output("7zz x -y -psecret -o'" + out + "' '" + backup + "'").find("EXIT FAILED"),
              std::string::npos);
    EXPECT_EQ(tbmtest::ReadFileBytes(FindBelow(out, "a.txt")), "first file\n");
    EXPECT_EQ(tbmtest::ReadFileBytes(FindBelow(out, "b.txt")), std::string(100000, 'b'));
}

TEST_F(BackupWizardTest, NothingChosenReturnsToTheSelectionPage)
{
    NameJobAndMedium("Empty");
    Next(); // 142, with nothing ticked
    ASSERT_EQ(Page(), pageid::kMyFiles);
    Next();
    ASSERT_EQ(Page(), pageid::kSettings);
    std::string said;
    CUiDialogs::QueueAnswer([&](CUiDialogs::Request& request) {
        return static_cast<CCollectDialog*>(request.dialog)->Collect();
    });
    CUiDialogs::QueueAnswer([&](CUiDialogs::Request& request) {
        said = request.text;
        return IDOK;
    });
    Next();
    Settle();
    EXPECT_EQ(said, LoadResString(140));
    EXPECT_EQ(Page(), pageid::kSelection);
}
