// TBManager started as its own process on the offscreen platform, the way a user
// starts it: the text library it cannot do without, the file association it only
// makes when the preference asks, the "Main" values it keeps from run to run, and a
// backup file given as its argument.
#include "EngineClock.h"
#include "FileAssociation.h"
#include "Globals.h"
#include "Registry.h"
#include "TbmRunner.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

const char kMainKey[] = "SOFTWARE\\Tovan-Soft\\TBManager\\Main";

class TbManagerProcessTest : public tbmtest::TempDirTest
{
protected:
    // The child shares this process's home, XDG folders and registry store.
    TbManagerProcessTest() : m_runner(m_dir.Str(), std::getenv("HOME"))
    {
        m_runner.SetProgram(g_Globals.GetProgramPath("TBManager"));
        m_runner.SetEnv("QT_QPA_PLATFORM", "offscreen");
        // The window takes its own picture and closes: a run that shows it ends.
        m_runner.SetEnv("TBM_GRAB_WINDOW", Picture());
        CRegistry reg(HKEY_CURRENT_USER);
        reg.DeleteValueKey(HKEY_CURRENT_USER, kMainKey);
        ForgetAssociation();
    }
    std::string Picture() const { return m_dir / "window.png"; }
    tbmtest::TbmRun Start(const std::vector<std::string>& args = {})
    {
        fs::remove(Picture());
        return m_runner.Run(args);
    }
    static void ForgetAssociation()
    {
        CRegistry reg(HKEY_CLASSES_ROOT);
        reg.DeleteValueKey(HKEY_CLASSES_ROOT, ".tbm");
        std::error_code ec;
        fs::remove(CFileAssociation::MimePackagePath(), ec);
        fs::remove(CFileAssociation::DesktopEntryPath(), ec);
    }
    static bool Associated()
    {
        CRegistry reg(HKEY_CLASSES_ROOT);
        return reg.VerifyKey(HKEY_CLASSES_ROOT, ".tbm", KEY_READ);
    }
    static int ReadMain(const char* name)
    {
        CRegistry reg(HKEY_CURRENT_USER);
        std::int32_t value = -1;
        if (!reg.VerifyKey(HKEY_CURRENT_USER, kMainKey, KEY_READ) || !reg.Read(name, value))
            return -1;
        return value;
    }
    static void WriteMain(const char* name, std::int32_t value)
    {
        CRegistry reg(HKEY_CURRENT_USER);
        ASSERT_TRUE(reg.VerifyKey(HKEY_CURRENT_USER, kMainKey, KEY_ALL_ACCESS));
        ASSERT_TRUE(reg.Write(name, value));
    }

    tbmtest::CTbmRunner m_runner;
};

} // namespace

TEST_F(TbManagerProcessTest, WithoutTheTextLibraryNoWindowOpensAndTheMessageNamesIt)
{
    // The program alone in a folder of its own: the libraries it links come from the
    // build, but its text library is looked for beside it.
    const fs::path folder = m_dir / "program";
    fs::create_directories(folder);
    const fs::path program = folder / "TBManager";
    std::error_code ec;
    fs::create_hard_link(g_Globals.GetProgramPath("TBManager"), program, ec);
    if (ec)
        fs::copy_file(g_Globals.GetProgramPath("TBManager"), program);
    m_runner.SetProgram(program);
    m_runner.SetEnv("LD_LIBRARY_PATH", g_Globals.GetProgramFolder());

    const tbmtest::TbmRun run = Start();
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("Error missing Reource file " + (folder / "TextRes.so").string()),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("Please re-install the Application"), std::string::npos);
    EXPECT_FALSE(fs::exists(Picture()));
}

TEST_F(TbManagerProcessTest, ARunShowsTheWindowAndWritesTheMainValues)
{
    const tbmtest::TbmRun run = Start();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(Picture()));
    EXPECT_EQ(ReadMain("Quitb"), 0);
    EXPECT_EQ(ReadMain("Reg_Ext"), 1);
    EXPECT_TRUE(Associated());
}

TEST_F(TbManagerProcessTest, AChangedQuitbSurvivesTheNextRun)
{
    ASSERT_EQ(Start().status, 0);
    WriteMain("Quitb", 1);
    const tbmtest::TbmRun run = Start();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadMain("Quitb"), 1);
}

TEST_F(TbManagerProcessTest, RegExtZeroLeavesTheAssociationAlone)
{
    ASSERT_EQ(Start().status, 0);
    ASSERT_TRUE(Associated());
    ForgetAssociation();
    WriteMain("Reg_Ext", 0);
    const tbmtest::TbmRun run = Start();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(Picture()));
    EXPECT_FALSE(Associated());
    EXPECT_FALSE(fs::exists(CFileAssociation::MimePackagePath()));
    EXPECT_FALSE(fs::exists(CFileAssociation::DesktopEntryPath()));
    EXPECT_EQ(ReadMain("Reg_Ext"), 0);
}

TEST_F(TbManagerProcessTest, ABackupFileArgumentOpensOnTheRestoresFirstPage)
{
    const fs::path src = m_dir / "letters";
    fs::create_directories(src);
    tbmtest::WriteFileBytes(src / "a.txt", "dear\n");
    const std::string backup = m_dir / "weekly.tbm";
    const tbmtest::CTbmRunner tbm(m_dir.Str(), std::getenv("HOME"));
    const std::string before = CEngineClock::FormatDate(CEngineClock::Now());
    const tbmtest::TbmRun made =
        tbm.Run({"backup", "--job", "Weekly Mail", "--no-verify", "--output", backup, src});
    ASSERT_EQ(made.status, 0) << made.err;
    const std::string after = CEngineClock::FormatDate(CEngineClock::Now());

    const tbmtest::TbmRun run = Start({backup});
    EXPECT_EQ(run.status, 0) << run.err;
    const QImage picture(QString::fromStdString(Picture()));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.text("Page").toStdString(), "151");
    const QStringList texts = picture.text("Texts").split('\n');
    EXPECT_TRUE(texts.contains("Weekly Mail")) << picture.text("Texts").toStdString();
    EXPECT_TRUE(texts.contains(QString::fromStdString(before)) ||
                texts.contains(QString::fromStdString(after)))
        << before << " " << picture.text("Texts").toStdString();
}
