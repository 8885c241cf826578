#pragma once

// The restore side of the main window as a user walks it, over backups made in the
// test: a folder tree with odd modes and old times, the steps from opening a backup
// to the end of its restore, and the comparison of what came back.
#include "BackupWizardFixture.h"
#include "FileArgument.h"
#include "FolderFilesPane.h"
#include "PasswordDialog.h"
#include "RestoreChoicePage.h"
#include "RestoreFilePage.h"
#include "RestoreLocationPage.h"
#include "RestoreOptionsDialog.h"
#include "RestoreRunPage.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>

#include "TvImageButton.h"

#include <QProgressBar>

#include <fcntl.h>
#include <sys/stat.h>

namespace wizardtest {

class RestoreWizardTest : public BackupWizardTest
{
protected:
    void SetUp() override
    {
        BackupWizardTest::SetUp();
        g_Preferences.m_nResFileType = 0;
        g_Preferences.m_nResLocationType = 0;
        g_Preferences.m_strResLocation.clear();
    }
    // MakeTree's files with modes and times of their own: a backup restored byte for
    // byte but with today's time or the default mode is no faithful restore.
    std::string MakeStampedTree()
    {
        const std::string docs = MakeTree();
        ::chmod((docs + "/a.txt").c_str(), 0640);
        ::chmod((docs + "/sub/b.txt").c_str(), 0755);
        for (const char* name : {"/a.txt", "/sub/b.txt", "/skip.bin"}) {
            const timespec times[2] = {{1000000000, 0}, {kStampTime, 0}};
            ::utimensat(AT_FDCWD, (docs + name).c_str(), times, 0);
        }
        return docs;
    }
    // The backup pages make "<name>.tbm" of `folder` in the test's "out" folder.
    std::string BackUpThroughPages(const std::string& name, const std::string& folder,
                                   const std::string& password)
    {
        NameJobAndMedium(name);
        TickMyFolder(folder);
        SetPassword(password);
        EXPECT_EQ(RunWithoutVerifying(), 10);
        return g_ProjectData.GetOutputPath();
    }
    // Opens `backup` as a double-click does: the program's file argument, then the
    // start page's restore command. Answers already queued take the questions.
    void OpenAsFileArgument(const std::string& backup)
    {
        g_FileArgument.Take({backup});
        ASSERT_TRUE(g_FileArgument.Resolve());
        m_window->GetStartPage()->OnBrowserEvent("restore", {}, {});
        Settle();
        ASSERT_EQ(Page(), pageid::kRestoreFile);
    }
    bool NextEnabled() const
    {
        return m_window->GetPages()->GetButton(CTvPropertiesPages::kNextId)->isEnabled();
    }
    static void QueuePassword(const std::string& password)
    {
        CUiDialogs::QueueAnswer([password](CUiDialogs::Request& request) {
            EXPECT_EQ(request.kind, CUiDialogs::Request::kPassword);
            *request.value = password;
            return password.empty() ? IDCANCEL : IDOK;
        });
    }
    // A message box: its text goes into `said`.
    static void QueueMessage(std::string& said)
    {
        CUiDialogs::QueueAnswer([&said](CUiDialogs::Request& request) {
            EXPECT_EQ(request.kind, CUiDialogs::Request::kMessage);
            said = request.text;
            return IDOK;
        });
    }
    CRestoreLocationPage* Location() const { return m_window->GetRestoreLocationPage(); }
    // From 151 with a backup open (or from 152) to 153, where every folder of the backup is ticked
    // and the location type and folder are set.
    void ToLocation(int type, const std::string& folder, const char* choicePicture = nullptr)
    {
        if (Page() == pageid::kRestoreFile)
            Next();
        ASSERT_EQ(Page(), pageid::kRestoreChoice);
        if (choicePicture)
            widgettest::SaveBothRatios(*m_window, choicePicture);
        Next();
        ASSERT_EQ(Page(), pageid::kRestoreLocation);
        CItemsTreeWnd* tree = Location()->GetPane()->GetTree();
        for (TvTreeItem top = tree->GetModel().GetRootItem(); top;
             top = tree->GetModel().GetNextSiblingItem(top))
            tree->CheckItem(top, tvcheck::kCheck);
        Location()->GetLocationTypes()->button(type)->click();
        Location()->GetFolderEdit()->setText(QString::fromStdString(folder));
    }
    // From 153 (or 152) to the end of the restore, confirmed; true when it finished.
    bool RunRestore(const char* confirmPicture = nullptr)
    {
        CUiDialogs::QueueAnswer([confirmPicture](CUiDialogs::Request& request) {
            if (confirmPicture) {
                request.dialog->resize(request.dialog->sizeHint());
                widgettest::SaveBothRatios(*request.dialog, confirmPicture);
            }
            return static_cast<int>(QDialog::Accepted);
        });
        Next();
        EXPECT_EQ(Page(), pageid::kRestoreRun);
        return WaitForRestoreEnd();
    }
    bool WaitForRestoreEnd()
    {
        bool finished = false;
        QEventLoop loop;
        QObject::connect(m_window->GetRestoreRunPage(), &CRestoreRunPage::restoreEnded, &loop,
                         [&](bool done) {
                             finished = done;
                             loop.quit();
                         });
        // A restore refused at its start never runs: the window is back on 152.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (Page() != pageid::kRestoreRun)
                loop.quit();
        });
        poll.start(50);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
        Settle();
        return finished;
    }
    static constexpr time_t kStampTime = 1000000000 + 7200;
    // A restored file of MakeStampedTree: its bytes, permission bits and time.
    static void ExpectStamped(const std::string& path, const std::string& bytes, mode_t mode)
    {
        struct stat st
        {
        };
        ASSERT_EQ(::stat(path.c_str(), &st), 0) << path;
        EXPECT_EQ(tbmtest::ReadFileBytes(path), bytes) << path;
        EXPECT_EQ(st.st_mode & 07777, mode) << path;
        EXPECT_EQ(st.st_mtim.tv_sec, kStampTime) << path;
    }
    static void ExpectStampedTree(const std::string& docs)
    {
        ExpectStamped(docs + "/a.txt", "first file\n", 0640);
        ExpectStamped(docs + "/sub/b.txt", std::string(100000, 'b'), 0755);
    }
};

} // namespace wizardtest
