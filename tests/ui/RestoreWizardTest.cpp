// The restore side of the window as a user walks it: a password-protected backup made
// through the backup pages is opened as a double-click opens it (a wrong password
// first), restored to the places it came from and then into another folder, and
// every file comes back with its bytes, mode and time; the report names the backup and
// every file restored or left in place, a name that looks like markup as plain text.
#include "RestoreWizardFixture.h"

#include "HtmlReport.h"

using namespace wizardtest;

TEST_F(RestoreWizardTest, ABackupOpenedByDoubleClickRestoresToItsPlaceAndToAnotherFolder)
{
    const std::string docs = MakeStampedTree();
    tbmtest::WriteFileBytes(docs + "/<script>.txt", "odd name\n");
    const std::string backup = BackUpThroughPages("Docs", docs, "secret");
    // The first restore replaces what is in place: a.txt edited since, sub gone.
    tbmtest::WriteFileBytes(docs + "/a.txt", "edited since\n");
    std::filesystem::remove_all(docs + "/sub");
    // The backup's run page shows its own run to the end: the restore's messages are
    // not for it.
    CRunPage* backupRun = m_window->GetRunPage();
    const QString backupStatus = backupRun->GetStatus()->text();
    int backupRunEnds = 0;
    QObject::connect(backupRun, &CRunPage::runEnded, [&backupRunEnds](int) { ++backupRunEnds; });

    std::string said;
    QueuePassword("wrong");
    QueueMessage(said);
    QueuePassword("secret");
    OpenAsFileArgument(backup);
    EXPECT_EQ(said, LoadResString(220));
    EXPECT_EQ(CUiDialogs::PendingAnswers(), 0u);
    CRestoreFilePage* file = m_window->GetRestoreFilePage();
    ASSERT_TRUE(file->IsOpen());
    EXPECT_TRUE(NextEnabled());
    EXPECT_EQ(file->GetNameLabel()->text().toStdString(), "Docs");
    EXPECT_FALSE(file->GetDateLabel()->text().isEmpty());
    EXPECT_FALSE(file->GetTimeLabel()->text().isEmpty());
    EXPECT_TRUE(g_FileArgument.IsEmpty());
    widgettest::SaveBothRatios(*m_window, "restore-151-open");
    CPasswordDialog password("Password of the backup " + backup);
    password.resize(password.sizeHint());
    widgettest::SaveBothRatios(password, "restore-password");

    ToLocation(1, "/srv/restored", "restore-152-choice");
    // The folder shown first is the backup's own, its files ticked with it.
    const auto listed = Location()->GetPane()->GetFileList()->findItems("a.txt", Qt::MatchExactly);
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(listed.front()->checkState(), Qt::Checked);
    EXPECT_FALSE(Location()->GetFolderEdit()->isHidden());
    widgettest::SaveBothRatios(*m_window, "restore-153-type1");
    Location()->GetLocationTypes()->button(0)->click();
    EXPECT_TRUE(Location()->GetFolderEdit()->isHidden());
    EXPECT_TRUE(Location()->GetFolderButton()->isHidden());
    widgettest::SaveBothRatios(*m_window, "restore-153-type0");
    // The options dialog changes what happens to files in place.
    CUiDialogs::QueueAnswer([](CUiDialogs::Request& request) {
        auto* options = static_cast<CRestoreOptionsDialog*>(request.dialog);
        options->resize(options->sizeHint());
        widgettest::SaveBothRatios(*options, "restore-204-options");
        options->GetChoices()->button(2)->click();
        options->accept();
        return static_cast<int>(QDialog::Accepted);
    });
    Location()->GetOptionsButton()->click();
    EXPECT_EQ(g_Preferences.m_nResFileType, 2);

    bool pictured = false;
    QObject::connect(&m_window->GetContext().notify, &CQtNotify::engineEvent, m_window.get(),
                     [&](int code, qintptr, const QString&) {
                         if (code == 5 && !pictured) {
                             pictured = true;
                             widgettest::SaveBothRatios(*m_window, "restore-175-running");
                         }
                     });
    ASSERT_TRUE(RunRestore("restore-205-confirm"));
    widgettest::SaveBothRatios(*m_window, "restore-175-finished");
    EXPECT_EQ(g_Preferences.m_nResLocationType, 0);
    ExpectStampedTree(docs);
    CRestoreRunPage* run = m_window->GetRestoreRunPage();
    EXPECT_EQ(run->GetStatus()->text().toStdString(), LoadResString(239));
    EXPECT_TRUE(run->GetReportButton()->isEnabled());
    EXPECT_EQ(run->GetTotalBar()->value(), run->GetTotalBar()->maximum());
    EXPECT_EQ(backupRun->GetStatus()->text(), backupStatus);
    EXPECT_EQ(backupRun->GetLastEvent(), 10);
    EXPECT_EQ(backupRun->GetProgressBar()->value(), backupRun->GetProgressBar()->maximum());
    EXPECT_EQ(backupRunEnds, 0);
    const std::string report = tbmtest::ReadFileBytes(CHtmlReport::GetRestoreReportPath());
    EXPECT_NE(report.find(backup), std::string::npos);
    EXPECT_NE(report.find(LoadResString(239)), std::string::npos);
    for (const char* name : {"/a.txt", "/sub/b.txt", "/<script>.txt"})
        EXPECT_NE(report.find(CHtmlReport::EscapeHtml("Restored file " + docs + name)),
                  std::string::npos)
            << name;
    EXPECT_EQ(report.find("<script>"), std::string::npos);
    EXPECT_EQ(tbmtest::ReadFileBytes(docs + "/<script>.txt"), "odd name\n");

    // Again, into another folder that keeps the folders below the root.
    m_window->GetPages()->OnPrevious();
    Settle();
    ASSERT_EQ(Page(), pageid::kRestoreChoice);
    const std::string other = m_dir / "other";
    Next();
    ASSERT_EQ(Page(), pageid::kRestoreLocation);
    Location()->GetLocationTypes()->button(1)->click();
    Location()->GetFolderEdit()->setText(QString::fromStdString(other));
    // Only newer copies replace files in place: a.txt there is newer than the
    // backup's, b.txt older.
    g_Preferences.m_nResFileType = 1;
    const std::string copy = other + docs;
    std::filesystem::create_directories(copy + "/sub");
    tbmtest::WriteFileBytes(copy + "/a.txt", "mine, newer\n");
    tbmtest::WriteFileBytes(copy + "/sub/b.txt", "mine, older\n");
    const timespec old[2] = {{600000000, 0}, {600000000, 0}};
    ::utimensat(AT_FDCWD, (copy + "/sub/b.txt").c_str(), old, 0);
    ASSERT_TRUE(RunRestore());
    EXPECT_EQ(g_Preferences.m_strResLocation, other);
    EXPECT_EQ(tbmtest::ReadFileBytes(copy + "/a.txt"), "mine, newer\n");
    ExpectStamped(copy + "/sub/b.txt", std::string(100000, 'b'), 0755);
    EXPECT_EQ(tbmtest::ReadFileBytes(copy + "/skip.bin"), "left out");
    const std::string again = tbmtest::ReadFileBytes(CHtmlReport::GetRestoreReportPath());
    EXPECT_NE(again.find("Skip restoring file " + copy + "/a.txt: the file in place is newer"),
              std::string::npos);
    EXPECT_NE(again.find("Restored file " + copy + "/sub/b.txt"), std::string::npos);
    EXPECT_EQ(again.find("Restored file " + copy + "/a.txt"), std::string::npos);

    // Keeping files in place: what is there stays, what is missing comes back.
    tbmtest::WriteFileBytes(copy + "/sub/b.txt", "mine again\n");
    std::filesystem::remove(copy + "/skip.bin");
    g_Preferences.m_nResFileType = 0;
    m_window->GetPages()->OnPrevious();
    Settle();
    ToLocation(1, other);
    ASSERT_TRUE(RunRestore());
    EXPECT_EQ(tbmtest::ReadFileBytes(copy + "/sub/b.txt"), "mine again\n");
    EXPECT_EQ(tbmtest::ReadFileBytes(copy + "/a.txt"), "mine, newer\n");
    EXPECT_EQ(tbmtest::ReadFileBytes(copy + "/skip.bin"), "left out");
    EXPECT_NE(tbmtest::ReadFileBytes(CHtmlReport::GetRestoreReportPath())
                  .find("Skip restoring file " + copy + "/sub/b.txt: the file in place is kept"),
              std::string::npos);
}
