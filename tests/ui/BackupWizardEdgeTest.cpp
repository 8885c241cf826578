// The backup pages off the straight path: the window closed in the middle of a run,
// the password taken away again, another job chosen after the trees were built, the
// scheduled job renamed or deleted, a backup that does not fit, part sizes that
// cannot be used, and an update run.
#include "BackupWizardFixture.h"
#include "ItemKinds.h"
#include "ItemTag.h"
#include "PartsMediumPage.h"
#include "RemovableMediumPage.h"
#include "ScheduleRecord.h"
#include "ZipSimulatedDrive.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QRadioButton>

#include <sys/stat.h>

#include <functional>
#include <random>

using namespace wizardtest;

namespace {

// Bytes that deflate cannot shrink, so that writing them takes a while.
std::string Noise(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

// Waits (events running) until `done` holds or a minute has passed.
template <class Done> bool WaitUntil(Done done)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(20);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

// Starts a run and closes the window when the run adds its first file; true once the
// window is gone.
bool CloseAtTheFirstFile(CMainWindow& window, const std::function<void()>& start)
{
    bool closing = false;
    const QMetaObject::Connection watch = QObject::connect(
        &window.GetContext().notify, &CQtNotify::engineEvent, &window,
        [&](int code, qintptr, const QString&) {
            if (code == 12 && !closing) {
                closing = true;
                QTimer::singleShot(0, &window, [&window] { window.close(); });
            }
        });
    start();
    const bool closed = WaitUntil([&] { return closing && !window.isVisible(); });
    QObject::disconnect(watch);
    return closed;
}

// Whether every entry of the archive is stored without encryption.
bool Unencrypted(const std::string& listing)
{
    return listing.find("Encrypted = +") == std::string::npos &&
           listing.find("Encrypted = -") != std::string::npos;
}

} // namespace

TEST_F(BackupWizardTest, ClosingDuringARunWithYesStopsItAndLeavesAReadableArchive)
{
    const std::string folder = MakeTree();
    for (unsigned i = 0; i < 48; ++i)
        tbmtest::WriteFileBytes(folder + "/big" + std::to_string(i) + ".bin", Noise(1 << 20, i));
    NameJobAndMedium("Busy");
    TickMyFolder(folder);
    SetPassword({});
    QueueCollectOk();
    std::string question;
    CUiDialogs::QueueAnswer([&](CUiDialogs::Request& request) {
        question = request.text;
        return IDYES;
    });
    CUiDialogs::QueueAnswer(static_cast<int>(QDialog::Accepted)); // the exit confirmation
    ASSERT_TRUE(CloseAtTheFirstFile(*m_window, [&] {
        Next();
        ASSERT_EQ(Page(), pageid::kRun);
    }));
    Settle();
    EXPECT_EQ(question, LoadResString(221));
    EXPECT_EQ(CUiDialogs::PendingAnswers(), 0u);
    EXPECT_FALSE(m_window->GetContext().notify.IsWorkerRunning());

    // A first backup that was stopped keeps what it had written, as a whole archive.
    const std::string backup = g_ProjectData.GetOutputPath();
    const std::string listing = Output("7zz l -slt '" + backup + "'");
    EXPECT_FALSE(Failed(Output("7zz t '" + backup + "'"))) << listing;
    EXPECT_EQ(listing.find("big47.bin"), std::string::npos) << "the run was not stopped";
    for (const auto& entry : std::filesystem::directory_iterator(m_dir / "out"))
        EXPECT_EQ(entry.path().filename(), "Busy.tbm");
}

// The window closed in the middle of an update of a backup of thousands of files:
// the earlier backup stays exactly as it was, and nothing else is left beside it.
TEST_F(BackupWizardTest, ClosingDuringAnUpdateKeepsThePreviousBackupByteForByte)
{
    const std::string folder = MakeTree();
    std::filesystem::create_directories(folder + "/many");
    for (unsigned i = 0; i < 2000; ++i)
        tbmtest::WriteFileBytes(folder + "/many/f" + std::to_string(i) + ".txt",
                                "file " + std::to_string(i) + "\n");
    NameJobAndMedium("Many");
    TickMyFolder(folder);
    SetPassword({});
    ASSERT_EQ(RunWithoutVerifying(), 10);
    const std::string backup = g_ProjectData.GetOutputPath();
    const std::string before = tbmtest::ReadFileBytes(backup);
    ASSERT_NE(Output("7zz l '" + backup + "'").find("f1999.txt"), std::string::npos);

    for (unsigned i = 0; i < 48; ++i)
        tbmtest::WriteFileBytes(folder + "/big" + std::to_string(i) + ".bin", Noise(1 << 20, i));
    ChooseJob("Many", false);
    FolderMedium(m_dir / "out");
    Next();
    Next();
    ASSERT_EQ(Page(), pageid::kSettings);
    m_window->GetSettingsPage()->GetTypeGroup()->button(1)->setChecked(true);
    QueueCollectOk();
    CUiDialogs::QueueAnswer(IDYES);                                // stop the run?
    CUiDialogs::QueueAnswer(static_cast<int>(QDialog::Accepted)); // the exit confirmation
    ASSERT_TRUE(CloseAtTheFirstFile(*m_window, [&] {
        Next();
        ASSERT_EQ(Page(), pageid::kRun);
    }));
    Settle();
    EXPECT_EQ(CUiDialogs::PendingAnswers(), 0u);
    EXPECT_FALSE(m_window->GetContext().notify.IsWorkerRunning());
    EXPECT_TRUE(tbmtest::ReadFileBytes(backup) == before) << "the previous backup was changed";
    for (const auto& entry : std::filesystem::directory_iterator(m_dir / "out"))
        EXPECT_EQ(entry.path().filename(), "Many.tbm");
}

TEST_F(BackupWizardTest, UntickingThePasswordBoxMakesTheNextBackupUnencrypted)
{
    const std::string folder = MakeTree();
    NameJobAndMedium("Docs");
    TickMyFolder(folder);
    SetPassword("secret");
    ASSERT_EQ(RunWithoutVerifying(), 10);
    const std::string backup = g_ProjectData.GetOutputPath();
    EXPECT_NE(Output("7zz l -slt '" + backup + "'").find("Encrypted = +"), std::string::npos);

    ChooseJob("Docs", false);
    FolderMedium(m_dir / "out");
    Next();
    ASSERT_EQ(Page(), pageid::kMyFiles);
    Next();
    ASSERT_EQ(Page(), pageid::kSettings);
    EXPECT_TRUE(m_window->GetSettingsPage()->GetPasswordBox()->isChecked());
    SetPassword({});
    ASSERT_EQ(RunWithoutVerifying(), 10);

    const std::string listing = Output("7zz l -slt '" + backup + "'");
    EXPECT_TRUE(Unencrypted(listing)) << listing;
    const std::string out = m_dir / "peer";
    EXPECT_FALSE(Failed(Output("7zz x -y -pnone -o'" + out + "' '" + backup + "'")));
    EXPECT_EQ(tbmtest::ReadFileBytes(FindBelow(out, "a.txt")), "first file\n");
}

namespace {

// The item of a source's kind in the backup tree of 132; null when it has none.
TvTreeItem SourceItem(CSelectionPage& page, std::uint32_t kind)
{
    const CCheckTreeModel& tree = page.GetTree()->GetModel();
    for (TvTreeItem item = tree.GetRootItem(); item; item = tree.GetNextItemEx(item))
        if (const auto* tag = reinterpret_cast<const ItemTag*>(tree.GetItemData(item));
            tag && tag->kind == kind)
            return item;
    return {};
}

// A favorite in the favorites folder while the test runs: the other tests of this
// process expect none.
struct CFavoritesOfThisTest
{
    const std::string folder = std::string(std::getenv("XDG_DATA_HOME")) + "/TBManager/Favorites";
    CFavoritesOfThisTest()
    {
        std::filesystem::create_directories(folder);
        tbmtest::WriteFileBytes(folder + "/site.url",
                                "[InternetShortcut]\nURL=https://example.org/\n");
    }
    ~CFavoritesOfThisTest() { std::filesystem::remove_all(folder); }
};

} // namespace

// Each job keeps its own choice in both trees: the favorites and a folder ticked in
// one job come back with it, and a new job starts from neither.
TEST_F(BackupWizardTest, ChoosingAnotherJobRebuildsBothTrees)
{
    const std::string folder = MakeTree();
    const CFavoritesOfThisTest favoritesFolder;
    NameJobAndMedium("Docs");
    CSelectionPage& selection = *m_window->GetSelectionPage();
    const auto favorites = [&] {
        const TvTreeItem item = SourceItem(selection, itemkind::kFavorites);
        return item ? selection.GetTree()->GetModel().GetItemCheckState(item) : -1;
    };
    ASSERT_EQ(favorites(), tvcheck::kUnchecked);
    selection.GetTree()->CheckItem(SourceItem(selection, itemkind::kFavorites), tvcheck::kCheck);
    ASSERT_TRUE(tvcheck::IsChecked(favorites()));
    TickMyFolder(folder);
    SetPassword({});
    ASSERT_EQ(RunWithoutVerifying(), 10);

    ChooseJob("Other", true);
    FolderMedium(m_dir / "out");
    EXPECT_EQ(favorites(), tvcheck::kUnchecked);
    ASSERT_TRUE(ShowMyFolder(folder));
    EXPECT_EQ(MyFolderState(folder), tvcheck::kUnchecked);

    ChooseJob("Docs", false);
    FolderMedium(m_dir / "out");
    EXPECT_TRUE(tvcheck::IsChecked(favorites()));
    ASSERT_TRUE(ShowMyFolder(folder));
    EXPECT_TRUE(tvcheck::IsChecked(MyFolderState(folder)));
}

// The schedule names its job: renaming or deleting that job asks first, and a
// confirmed delete leaves the task, whose runs then end with exit 1 ("there is no
// saved job") until another job is chosen for it. Other jobs change without a word.
TEST_F(BackupWizardTest, RenamingOrDeletingTheScheduledJobWarnsFirst)
{
    tbmtest::WriteFileBytes(m_dir / "systemctl", "#!/bin/sh\nexit 0\n");
    chmod((m_dir / "systemctl").c_str(), 0755);
    setenv("TBM_SYSTEMCTL", (m_dir / "systemctl").c_str(), 1);
    for (const char* name : {"Weekly Mail", "Other"}) {
        g_ProjectData.NewJob();
        ASSERT_TRUE(g_ProjectData.RenameJob(name) && g_ProjectData.SaveJob());
    }
    CScheduleRecord schedule;
    schedule.m_strJobName = "Weekly Mail";
    ASSERT_TRUE(schedule.SaveSchedule() && schedule.CreateTask());
    std::vector<std::string> asked;
    const auto answer = [&asked](int button) {
        CUiDialogs::QueueAnswer([&asked, button](CUiDialogs::Request& request) {
            asked.push_back(request.text);
            return button;
        });
    };
    CJobPage* page = m_window->GetJobPage();

    ChooseJob("Weekly Mail", false);
    page->GetNameEdit()->setText(QStringLiteral("Weekly Post"));
    answer(IDCANCEL);
    Next();
    EXPECT_EQ(Page(), pageid::kJob);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find("\"Weekly Mail\""), std::string::npos) << asked[0];
    EXPECT_TRUE(g_ProjectData.IsSavedJob("Weekly Mail"));
    answer(IDCANCEL);
    page->GetDeleteButton()->click();
    EXPECT_TRUE(g_ProjectData.IsSavedJob("Weekly Mail"));
    answer(IDOK);
    page->GetDeleteButton()->click();
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_FALSE(g_ProjectData.IsSavedJob("Weekly Mail"));
    EXPECT_TRUE(schedule.TaskExists());

    // Not the scheduled job: a new job given the deleted job's name, another job.
    // Nothing to ask (the answers are there so that a question fails, not hangs).
    for (int i = 0; i < 3; ++i)
        answer(IDCANCEL);
    ChooseJob("Weekly Mail", true);
    Next();
    GoTo(pageid::kJob);
    page->GetNameEdit()->setText(QStringLiteral("Mail"));
    Next();
    ChooseJob("Other", false);
    page->GetNameEdit()->setText(QStringLiteral("Renamed"));
    Next();
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_EQ(CUiDialogs::PendingAnswers(), 3u);
    EXPECT_TRUE(g_ProjectData.IsSavedJob("Renamed"));
    schedule.DeleteTask();
    unsetenv("TBM_SYSTEMCTL");
}

TEST_F(BackupWizardTest, ABackupLargerThanTheFreeSpaceReturnsToTheMediumPage)
{
    CZipSimulatedDrive drive(m_dir / "disks");
    const int mount = drive.AddMount(m_dir / "small", false);
    drive.Insert(mount, drive.AddDisk(50000));
    CZipDrive* real = CZipDrive::SetCurrent(&drive);
    const std::string folder = MakeTree();
    ChooseJob("Big", true);
    FolderMedium(m_dir / "small");
    TickMyFolder(folder);
    SetPassword({});
    int outcome = -1;
    CUiDialogs::QueueAnswer([&](CUiDialogs::Request& request) {
        outcome = static_cast<CCollectDialog*>(request.dialog)->Collect();
        return outcome;
    });
    std::string said;
    CUiDialogs::QueueAnswer([&](CUiDialogs::Request& request) {
        said = request.text;
        return IDOK;
    });
    Next();
    Settle();
    CZipDrive::SetCurrent(real);
    EXPECT_EQ(outcome, CCollectDialog::kNoRoom);
    EXPECT_EQ(said, LoadResString(186));
    EXPECT_EQ(Page(), pageid::kMedium);
    EXPECT_TRUE(std::filesystem::is_empty(m_dir / "small"));
}

// A backup larger than one removable disk: each full disk is followed by the
// question for the next, and the parts, put side by side, make an archive 7-Zip
// tests as whole.
TEST_F(BackupWizardTest, ABackupLargerThanARemovableDiskSpansOverSeveral)
{
    CZipSimulatedDrive drive(m_dir / "disks");
    const std::string usb = m_dir / "usb";
    const int mount = drive.AddMount(usb, true);
    drive.Insert(mount, drive.AddDisk(150000));
    CZipDrive* real = CZipDrive::SetCurrent(&drive);
    const std::string folder = MakeTree();
    tbmtest::WriteFileBytes(folder + "/noise.bin", Noise(300000, 7));
    ChooseJob("Span", true);
    Next();
    CMediumPage* medium = m_window->GetMediumPage();
    medium->ChooseMedium(1);
    static_cast<CRemovableMediumPage*>(medium->GetSubPage(1))
        ->GetDriveBox()
        ->setCurrentText(QString::fromStdString(usb));
    Next();
    ASSERT_EQ(Page(), pageid::kSelection);
    TickMyFolder(folder);
    SetPassword({});
    int diskQuestions = 0;
    const auto answer = [&](CUiDialogs::Request& request) {
        if (auto* collect = qobject_cast<CCollectDialog*>(request.dialog)) {
            EXPECT_EQ(collect->Collect(), 0);
            return static_cast<int>(CCollectDialog::kGoOn);
        }
        if (request.kind == CUiDialogs::Request::kDialog)
            return static_cast<int>(QDialog::Rejected); // no verification now
        ++diskQuestions;                                // the next disk, please
        drive.Insert(mount, drive.AddDisk(150000));
        return IDOK;
    };
    for (int i = 0; i < 12; ++i)
        CUiDialogs::QueueAnswer(answer);
    Next();
    EXPECT_EQ(WaitForRunEnd(), 10);
    CUiDialogs::ClearAnswers();
    CZipDrive::SetCurrent(real);

    // The disks in order: the last holds the ".tbm" itself, the others its parts.
    std::vector<std::string> parts;
    for (int disk = 0; disk <= diskQuestions; ++disk)
        if (const std::string part = drive.GetDisk(disk).folder + "/Span.tbm";
            std::filesystem::exists(part))
            parts.push_back(part);
    ASSERT_GE(parts.size(), 3u);
    EXPECT_GE(diskQuestions, 2);
    const std::string joined = m_dir / "joined";
    std::filesystem::create_directories(joined);
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        std::filesystem::copy_file(parts[i], joined + "/Span.z" +
                                                 (number.size() < 2 ? "0" + number : number));
    }
    std::filesystem::copy_file(parts.back(), joined + "/Span.zip");
    const std::string tested = Output("7zz t '" + joined + "/Span.zip'");
    EXPECT_FALSE(Failed(tested)) << tested;
    EXPECT_NE(tested.find("Everything is Ok"), std::string::npos) << tested;
}

TEST_F(BackupWizardTest, APartSizeThatCannotBeUsedKeepsTheMediumPage)
{
    ChooseJob("Parts", true);
    Next();
    ASSERT_EQ(Page(), pageid::kMedium);
    CMediumPage& medium = *m_window->GetMediumPage();
    medium.ChooseMedium(1);
    widgettest::SaveBothRatios(*m_window, "wizard-156-removable");
    g_Preferences.m_nShowCDRW = 1;
    CUiDialogs::QueueAnswer([](CUiDialogs::Request& request) {
        request.dialog->resize(request.dialog->sizeHint());
        widgettest::SaveBothRatios(*request.dialog, "wizard-156-cdrw-advice");
        return static_cast<int>(QDialog::Accepted);
    });
    medium.ChooseMedium(3);
    EXPECT_EQ(CUiDialogs::PendingAnswers(), 0u);
    widgettest::SaveBothRatios(*m_window, "wizard-156-cd");
    medium.ChooseMedium(2);
    widgettest::SaveBothRatios(*m_window, "wizard-156-parts");
    auto* parts = static_cast<CPartsMediumPage*>(m_window->GetMediumPage()->GetSubPage(2));
    parts->GetFolderEdit()->setText(QString::fromStdString(m_dir / "parts"));
    for (const char* size : {"lots", "10 Kb", "3 Gb"}) {
        parts->GetSizeBox()->setCurrentText(QString::fromLatin1(size));
        std::string said;
        CUiDialogs::QueueAnswer([&](CUiDialogs::Request& request) {
            said = request.text;
            return IDOK;
        });
        Next();
        EXPECT_EQ(Page(), pageid::kMedium) << size;
        EXPECT_FALSE(said.empty()) << size << ": refused without a word";
        CUiDialogs::ClearAnswers();
    }
    parts->GetSizeBox()->setCurrentText(QStringLiteral("1 Mb"));
    Next();
    EXPECT_EQ(Page(), pageid::kSelection);
    EXPECT_EQ(g_ProjectData.m_dwPartSize, 1024u * 1024u);
}

// Every entry of the updated backup is counted once, as replaced or as unchanged.
TEST_F(BackupWizardTest, AnUpdateRunCountsReplacedAndUnchangedEntries)
{
    const std::string folder = MakeTree();
    NameJobAndMedium("Docs");
    TickMyFolder(folder);
    SetPassword({});
    ASSERT_EQ(RunWithoutVerifying(), 10);

    tbmtest::WriteFileBytes(folder + "/a.txt", "first file, longer now\n");
    ChooseJob("Docs", false);
    FolderMedium(m_dir / "out");
    Next();
    Next();
    ASSERT_EQ(Page(), pageid::kSettings);
    m_window->GetSettingsPage()->GetTypeGroup()->button(1)->setChecked(true);
    ASSERT_EQ(RunWithoutVerifying(), 10);

    const CRunPage& run = *m_window->GetRunPage();
    const int replaced = run.GetCountText(2).toInt();
    const int unchanged = run.GetCountText(3).toInt();
    EXPECT_EQ(run.GetCountText(1).toStdString(), "0");
    EXPECT_GE(replaced, 1);  // a.txt
    EXPECT_GE(unchanged, 4); // b.txt, skip.bin and their folders
    const std::string backup = g_ProjectData.GetOutputPath();
    const std::string listing = Output("7zz l '" + backup + "'");
    int files = 0;
    int folders = 0;
    const std::size_t last = listing.rfind(" files, ");
    ASSERT_NE(last, std::string::npos) << listing;
    std::sscanf(listing.c_str() + listing.rfind(' ', last - 1), "%d files, %d folders", &files,
                &folders);
    EXPECT_EQ(replaced + unchanged, files + folders) << listing;
    const std::string out = m_dir / "peer";
    EXPECT_FALSE(Failed(Output("7zz x -y -o'" + out + "' '" + backup + "'")));
    EXPECT_EQ(tbmtest::ReadFileBytes(FindBelow(out, "a.txt")), "first file, longer now\n");
    EXPECT_EQ(tbmtest::ReadFileBytes(FindBelow(out, "b.txt")), std::string(100000, 'b'));
}
