// The restore pages where a user leaves the straight way: a file that is no backup,
// a password given up, a second backup opened after a first (one made by tbm, then
// restored over the user's files with each choice for files in place), a
// restore with nothing ticked, a folder picker cancelled, and a restore stopped
// half-way.
#include "RestoreWizardFixture.h"

#include "TbmRunner.h"

#include <random>

using namespace wizardtest;

namespace {

// Texts of the message boxes shown while `count` answers are queued.
void QueueMessages(std::vector<std::string>& texts, int count)
{
    for (int i = 0; i < count; ++i)
        CUiDialogs::QueueAnswer([&texts](CUiDialogs::Request& request) {
            texts.push_back(request.text);
            return IDOK;
        });
}

std::vector<std::string> TopFolders(CItemsTreeWnd& tree)
{
    std::vector<std::string> texts;
    const CCheckTreeModel& model = tree.GetModel();
    for (TvTreeItem item = model.GetRootItem(); item; item = model.GetNextItemEx(item))
        texts.push_back(model.GetItemText(item));
    return texts;
}

} // namespace

TEST_F(RestoreWizardTest, NoBackupAGivenUpPasswordAndASecondBackupAfterTheFirst)
{
    const std::string docs = MakeStampedTree();
    const std::string first = BackUpThroughPages("Docs", docs, "pa");
    const std::string more = m_dir / "more";
    std::filesystem::create_directories(more);
    tbmtest::WriteFileBytes(more + "/c.txt", "third file\n");
    tbmtest::WriteFileBytes(more + "/d.txt", "fourth file\n");
    const std::string second = m_dir / "more.tbm";
    std::filesystem::create_directories(m_dir / "tbm");
    tbmtest::CTbmRunner tbm(m_dir / "tbm", std::getenv("HOME"));
    ASSERT_EQ(tbm.Run({"backup", "--no-verify", "--output", second, more}).status, 0);

    m_window->GetStartPage()->OnBrowserEvent("restore", {}, {});
    Settle();
    ASSERT_EQ(Page(), pageid::kRestoreFile);
    EXPECT_FALSE(NextEnabled());
    widgettest::SaveBothRatios(*m_window, "restore-151-empty");
    CRestoreFilePage* file = m_window->GetRestoreFilePage();
    const std::string text = m_dir / "notes.tbm";
    tbmtest::WriteFileBytes(text, "just a note, no backup\n");
    std::vector<std::string> said;
    QueueMessages(said, 2);
    EXPECT_FALSE(file->Open(text));
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said.back(), LoadResString(128));
    CUiDialogs::ClearAnswers();
    EXPECT_FALSE(NextEnabled());

    // Cancel at the second question: nothing opens and nothing more is said.
    std::string wrong;
    QueuePassword("nope");
    QueueMessage(wrong);
    QueuePassword({});
    EXPECT_FALSE(file->Open(first));
    EXPECT_EQ(wrong, LoadResString(220));
    EXPECT_EQ(CUiDialogs::PendingAnswers(), 0u);
    EXPECT_FALSE(NextEnabled());

    QueuePassword("pa");
    ASSERT_TRUE(file->Open(first));
    ToLocation(0, {});
    const std::vector<std::string> firstTree = TopFolders(*Location()->GetPane()->GetTree());
    EXPECT_NE(std::find(firstTree.begin(), firstTree.end(), "docs"), firstTree.end());

    // The second backup, picked in the file dialog, replaces every tree of the first.
    m_window->GetPages()->OnPrevious();
    Settle();
    ASSERT_EQ(Page(), pageid::kRestoreFile);
    CUiDialogs::QueueAnswer([&](CUiDialogs::Request& request) {
        EXPECT_EQ(request.file->pattern, "*.tbm");
        *request.value = second;
        return IDOK;
    });
    file->GetBrowseButton()->click();
    ASSERT_TRUE(file->IsOpen());
    EXPECT_EQ(file->GetNameLabel()->text().toStdString(), "Command Line");
    const std::string other = m_dir / "other";
    ToLocation(2, other);
    const std::vector<std::string> secondTree = TopFolders(*Location()->GetPane()->GetTree());
    EXPECT_EQ(std::find(secondTree.begin(), secondTree.end(), "docs"), secondTree.end());
    ASSERT_TRUE(RunRestore());
    EXPECT_EQ(tbmtest::ReadFileBytes(other + "/c.txt"), "third file\n");
    EXPECT_FALSE(std::filesystem::exists(other + "/a.txt"));

    // Back to its own place over the user's files: c.txt edited since the backup,
    // d.txt edited with a time older than the stored copy. Kept, then only where the
    // backup's copy is newer, then replaced.
    tbmtest::WriteFileBytes(more + "/c.txt", "edited\n");
    tbmtest::WriteFileBytes(more + "/d.txt", "old edit\n");
    const timespec old[2] = {{600000000, 0}, {600000000, 0}};
    const timespec later[2] = {{2000000000, 0}, {2000000000, 0}};
    ::utimensat(AT_FDCWD, (more + "/d.txt").c_str(), old, 0);
    ::utimensat(AT_FDCWD, (more + "/c.txt").c_str(), later, 0);
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"edited\n", "old edit\n"}, {"edited\n", "fourth file\n"}, {"third file\n", "fourth file\n"}};
    for (int choice = 0; choice < 3; ++choice) {
        m_window->GetPages()->OnPrevious();
        Settle();
        g_Preferences.m_nResFileType = choice;
        ToLocation(0, {});
        ASSERT_TRUE(RunRestore()) << choice;
        EXPECT_EQ(tbmtest::ReadFileBytes(more + "/c.txt"), expected[choice].first) << choice;
        EXPECT_EQ(tbmtest::ReadFileBytes(more + "/d.txt"), expected[choice].second) << choice;
    }
}

TEST_F(RestoreWizardTest, NothingTickedACancelledPickerAndAStoppedRestoreEndOnTheirPages)
{
    const std::string docs = MakeTree();
    std::string big(24 << 20, '\0');
    std::mt19937 random(7);
    for (char& c : big)
        c = static_cast<char>(random());
    tbmtest::WriteFileBytes(docs + "/big.bin", big);
    tbmtest::WriteFileBytes(docs + "/sub/big2.bin", big);
    const std::string backup = BackUpThroughPages("Big", docs, {});
    OpenAsFileArgument(backup);
    ASSERT_TRUE(m_window->GetRestoreFilePage()->IsOpen());

    // Nothing ticked: text 215, back on 152 with its buttons.
    Next();
    Next();
    ASSERT_EQ(Page(), pageid::kRestoreLocation);
    std::string said;
    CUiDialogs::QueueAnswer(static_cast<int>(QDialog::Accepted));
    QueueMessage(said);
    Next();
    WaitForRestoreEnd();
    EXPECT_EQ(said, LoadResString(215));
    EXPECT_EQ(Page(), pageid::kRestoreChoice);
    EXPECT_TRUE(NextEnabled());

    // A chosen-folder restore without a folder asks for one; Cancel goes back.
    ToLocation(1, {});
    CUiDialogs::QueueAnswer(static_cast<int>(QDialog::Accepted));
    std::string title;
    CUiDialogs::QueueAnswer([&](CUiDialogs::Request& request) {
        title = request.text;
        return IDCANCEL;
    });
    Next();
    WaitForRestoreEnd();
    EXPECT_EQ(title, CRestoreLocationPage::kPickerTitle);
    EXPECT_EQ(Page(), pageid::kRestoreChoice);
    EXPECT_TRUE(NextEnabled());

    // Stopped at its first file (the stop the page's button asks for, set at once so
    // that the run cannot outpace it; each section starts with the stop cleared, so
    // not before): the user's own edits stay.
    tbmtest::WriteFileBytes(docs + "/a.txt", "edited since\n");
    std::filesystem::remove(docs + "/big.bin");
    std::filesystem::remove(docs + "/sub/big2.bin");
    ToLocation(0, {});
    CRestoreRunPage* run = m_window->GetRestoreRunPage();
    QObject::connect(&m_window->GetContext().notify, &CQtNotify::engineEvent, run,
                     [this, run](int code, qintptr, const QString&) {
                         if (code != 5 || !run->IsRunning())
                             return;
                         m_engine.GetProgress().m_StopEvent.Set();
                         m_engine.RequestCancel();
                         QTimer::singleShot(0, run, &CRestoreRunPage::Stop);
                     });
    EXPECT_FALSE(RunRestore());
    EXPECT_FALSE(run->IsRunning());
    EXPECT_TRUE(run->GetReportButton()->isEnabled());
    EXPECT_FALSE(run->GetStopButton()->isEnabled());
    EXPECT_EQ(run->GetTotalBar()->value(), 0);
    EXPECT_NE(run->GetStatus()->text().indexOf("stopped"), -1);
    EXPECT_EQ(tbmtest::ReadFileBytes(docs + "/a.txt"), "edited since\n");
    // A file the run was writing when it stopped is whole or not there at all.
    for (const char* name : {"/big.bin", "/sub/big2.bin"})
        if (std::filesystem::exists(docs + name)) {
            EXPECT_TRUE(tbmtest::ReadFileBytes(docs + name) == big) << name;
        }
}
