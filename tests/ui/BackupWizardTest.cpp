// The backup side of the window as a user walks it: start page, a new job, a folder
// medium, My Files with a folder ticked and one file left out, a password typed
// wrong and then right, the collection, the run and its verification; the backup
// is then read back by 7-Zip. And the ways back: nothing chosen returns to
// the selection page.
#include "BackupWizardFixture.h"
#include "CheckTreeModel.h"
#include "FontsData.h"
#include "ItemKinds.h"
#include "ItemTag.h"
#include "XdgFolders.h"

#include <QLabel>
#include <QProgressBar>

using namespace wizardtest;

TEST_F(BackupWizardTest, AWholeBackupFromTheStartPageToAVerifiedArchive)
{
    const std::string folder = MakeTree();
    widgettest::SaveBothRatios(*m_window, "wizard-194-start");
    ChooseJob("Docs", true);
    widgettest::SaveBothRatios(*m_window, "wizard-154-job");
    FolderMedium(m_dir / "out", "wizard-156-folder");
    widgettest::SaveBothRatios(*m_window, "wizard-132-selection");

    const TvTreeItem docs = ShowMyFolder(folder);
    ASSERT_TRUE(docs);
    CMyFilesPage* myFiles = m_window->GetMyFilesPage();
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
        request.dialog->resize(request.dialog->sizeHint());
        widgettest::SaveBothRatios(*request.dialog, "wizard-136-complete");
        return static_cast<int>(QDialog::Accepted); // the completion dialog: verify
    });
    // A picture of the page while it adds the files.
    bool pictured = false;
    QObject::connect(&m_window->GetContext().notify, &CQtNotify::engineEvent, m_window.get(),
                     [&](int code, qintptr, const QString&) {
                         if (code == 12 && !pictured) {
                             pictured = true;
                             widgettest::SaveBothRatios(*m_window, "wizard-136-running");
                         }
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

// A font ticked in the fonts page stays ticked while the user looks at other items
// and reaches the backup, the other stays out; the My Files folder opened in the window takes
// the file made after it was opened.
TEST_F(BackupWizardTest, ChoicesInASourcesOwnListAndLateFilesReachTheBackup)
{
    const std::string fonts = CXdgFolders::GetFolder(CSIDL_FONTS);
    std::filesystem::create_directories(fonts);
    tbmtest::WriteFileBytes(fonts + "/Plain.ttf", "plain font");
    tbmtest::WriteFileBytes(fonts + "/Fancy.otf", "fancy font");
    const std::string folder = MakeTree();
    NameJobAndMedium("Fonts");
    CSelectionPage* selection = m_window->GetSelectionPage();
    CCheckTreeModel& tree = selection->GetTree()->GetModel();
    TvTreeItem fontsItem;
    for (TvTreeItem item = tree.GetRootItem(); item; item = tree.GetNextItemEx(item))
        if (const auto* tag = reinterpret_cast<const ItemTag*>(tree.GetItemData(item));
            tag && tag->kind == itemkind::kFonts)
            fontsItem = item;
    ASSERT_TRUE(fontsItem);
    selection->GetTree()->CheckItem(fontsItem, tvcheck::kCheck);
    selection->GetTree()->SelectItem(fontsItem);
    EXPECT_EQ(selection->GetDetailPageId(), 182u);
    CCheckTreeModel& list = m_sources.fonts->GetList();
    for (TvTreeItem item = list.GetRootItem(); item; item = list.GetNextSiblingItem(item))
        if (list.GetItemText(item) == "Fancy.otf")
            list.CheckItem(item, tvcheck::kCheck);
    selection->GetTree()->SelectItem(tree.GetRootItem());
    selection->GetTree()->SelectItem(fontsItem);

    TickMyFolder(folder);
    tbmtest::WriteFileBytes(folder + "/late.txt", "made while the window was open");
    SetPassword({});
    ASSERT_EQ(RunWithoutVerifying(), 10);
    const std::string listing = Output("7zz l '" + g_ProjectData.GetOutputPath() + "'");
    EXPECT_NE(listing.find("Fancy.otf"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("Plain.ttf"), std::string::npos) << listing;
    EXPECT_NE(listing.find("late.txt"), std::string::npos) << listing;
}
