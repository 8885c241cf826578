#include "RegistryImport.h"

#include "ScriptedPrompt.h"
#include "SourcesFixture.h"

#include <filesystem>
#include <string>
#include <vector>

using tbmtest::ReadFileBytes;
using tbmtest::WriteFileBytes;

namespace fs = std::filesystem;

namespace {

const std::string kBackup = "{11111111-1111-1111-1111-111111111111}";
const std::string kTarget = "{22222222-2222-2222-2222-222222222222}";

class RegistryImportTest : public SourcesFixture
{
protected:
    void SetUp() override
    {
        SourcesFixture::SetUp();
        fs::create_directory(m_work);
    }

    // A normalised export as the data sources restore it into the work folder.
    std::string WriteRegFile(const std::string& name, const std::string& body) const
    {
        const std::string path = m_work + "/" + name;
        WriteFileBytes(path, "REGEDIT4\r\n\r\n" + body);
        return path;
    }

    std::vector<std::string> WorkFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_work))
            names.push_back(entry.path().filename().string());
        return names;
    }

    const std::string m_work = m_dir / "work folder";
};

} // namespace

TEST_F(RegistryImportTest, ImportsAFileAndWaitsForTheEditor)
{
    const std::string path =
        WriteRegFile("a.reg", "[HKEY_CURRENT_USER\\Software\\A]\r\n\"v\"=\"imported\"\r\n");
    CRegistryImport registryImport(m_work);
    ASSERT_TRUE(registryImport.ImportRegistryFile(path));
    // The editor has ended: what it wrote is there at once.
    EXPECT_EQ("imported", GetText("Software\\A", "v"));
    EXPECT_TRUE(Logged("Run regedit : -s " + path));
    EXPECT_TRUE(Logged("Regedit exit status 0 : -s " + path));
}

TEST_F(RegistryImportTest, AMissingFileIsNotImported)
{
    CRegistryImport registryImport(m_work);
    EXPECT_FALSE(registryImport.ImportRegistryFile(m_work + "/missing.reg"));
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(RegistryImportTest, AFileTheEditorRefusesIsAFailure)
{
    const std::string path = WriteRegFile("bad.reg", "[HKEY_CURRENT_USER\\A]\r\nnonsense\r\n");
    CRegistryImport registryImport(m_work);
    EXPECT_FALSE(registryImport.ImportRegistryFile(path));
    EXPECT_TRUE(Logged("Regedit exit status 1 : -s " + path));
    EXPECT_FALSE(KeyExists("A"));
}

TEST_F(RegistryImportTest, PathsWithBlanksNeedNoQuoting)
{
    const std::string path =
        WriteRegFile("with blanks \"and quotes\".reg", "[HKEY_CURRENT_USER\\B]\r\n\"v\"=\"1\"\r\n");
    CRegistryImport registryImport(m_work);
    EXPECT_TRUE(registryImport.ImportRegistryFile(path));
    EXPECT_EQ("1", GetText("B", "v"));
}

TEST_F(RegistryImportTest, RewriteWithAnEmptyFindChangesOnlyTheHeader)
{
    const std::string body = "[HKEY_CURRENT_USER\\Identities\\" + kBackup + "]\r\n\"v\"=\"x\"\r\n";
    const std::string path = m_work + "/x.reg";
    WriteFileBytes(path, "Windows Registry Editor Version 5.00\r\n\r\n" + body);
    CRegistryImport registryImport(m_work);
    ASSERT_TRUE(registryImport.RewriteRegistryFile(path, "", kTarget));
    EXPECT_EQ("REGEDIT4\r\n\r\n" + body, ReadFileBytes(path));
    // The working file took the file's place: nothing else is left.
    EXPECT_EQ(std::vector<std::string>{"x.reg"}, WorkFiles());
}

TEST_F(RegistryImportTest, RewriteReplacesEveryOccurrence)
{
    const std::string path =
        WriteRegFile("x.reg", "[HKEY_CURRENT_USER\\Identities\\" + kBackup +
                                  "\\Software]\r\n\"Id\"=\"" + kBackup + "\"\r\n");
    CRegistryImport registryImport(m_work);
    ASSERT_TRUE(registryImport.RewriteRegistryFile(path, kBackup, kTarget));
    EXPECT_EQ("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Identities\\" + kTarget +
                  "\\Software]\r\n\"Id\"=\"" + kTarget + "\"\r\n",
              ReadFileBytes(path));
}

TEST_F(RegistryImportTest, AFailedRewriteLeavesTheFileAsItWas)
{
    tbmtest::CScriptedPrompt prompt;
    const std::string path = WriteRegFile("x.reg", "[HKEY_CURRENT_USER\\A]\r\n");
    const std::string before = ReadFileBytes(path);
    CRegistryImport noWorkFolder(m_dir / "missing work folder");
    EXPECT_FALSE(noWorkFolder.RewriteRegistryFile(path, "A", "B"));
    ASSERT_EQ(1u, prompt.Messages().size());
    EXPECT_EQ("Fail to rename file", prompt.Messages()[0].text);

    CRegistryImport registryImport(m_work);
    EXPECT_FALSE(registryImport.RewriteRegistryFile(m_work + "/missing.reg", "A", "B"));
    EXPECT_TRUE(Logged("Fail  Open File : " + m_work + "/missing.reg"));
    EXPECT_EQ(before, ReadFileBytes(path));
    EXPECT_EQ(std::vector<std::string>{"x.reg"}, WorkFiles());
}

TEST_F(RegistryImportTest, Kind10ImportsTheAccountsGloballyAndBelowTheIdentity)
{
    const std::string path = WriteRegFile(
        "OEAccounts.reg",
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001]\r\n"
        "\"Account Name\"=\"Mail\"\r\n");
    CRegistryImport registryImport(m_work);
    EXPECT_TRUE(registryImport.RestoreRegistryItem(path, 10, kBackup, kTarget));
    const std::string accounts =
        "Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001";
    EXPECT_EQ("Mail", GetText(accounts, "Account Name"));
    EXPECT_EQ("Mail", GetText("Identities\\" + kTarget + "\\" + accounts, "Account Name"));
}

TEST_F(RegistryImportTest, Kind20ToTheMainIdentityImportsASecondTimeWithoutTheIdentity)
{
    SetText("Identities\\" + kTarget, "Username", "Main Identity");
    const std::string path =
        WriteRegFile("IdAccounts.reg", "[HKEY_CURRENT_USER\\Identities\\" + kBackup +
                                           "\\Software\\Microsoft\\Internet Account Manager]\r\n"
                                           "\"Default Mail Account\"=\"00000002\"\r\n");
    CRegistryImport registryImport(m_work);
    EXPECT_TRUE(registryImport.RestoreRegistryItem(path, 20, kBackup, kTarget));
    const std::string manager = "Software\\Microsoft\\Internet Account Manager";
    EXPECT_EQ("00000002",
              GetText("Identities\\" + kTarget + "\\" + manager, "Default Mail Account"));
    EXPECT_EQ("00000002", GetText(manager, "Default Mail Account"));
    EXPECT_FALSE(KeyExists("Identities\\" + kBackup));
}

TEST_F(RegistryImportTest, Kind20ToAnotherIdentityStaysBelowIt)
{
    SetText("Identities\\" + kTarget, "Username", "main identity"); // compared exactly
    const std::string path =
        WriteRegFile("IdAccounts.reg", "[HKEY_CURRENT_USER\\Identities\\" + kBackup +
                                           "\\Software\\Microsoft\\Internet Account Manager]\r\n"
                                           "\"Default Mail Account\"=\"00000002\"\r\n");
    CRegistryImport registryImport(m_work);
    EXPECT_TRUE(registryImport.RestoreRegistryItem(path, 20, kBackup, kTarget));
    EXPECT_EQ("00000002",
              GetText("Identities\\" + kTarget + "\\Software\\Microsoft\\Internet Account Manager",
                      "Default Mail Account"));
    EXPECT_FALSE(KeyExists("Software\\Microsoft\\Internet Account Manager"));
}

namespace {

// Records the steps of the restore table instead of running them.
class CRecordingImport : public CRegistryImport
{
public:
    explicit CRecordingImport(std::string userName) : m_userName(std::move(userName)) {}

    bool ImportRegistryFile(const std::string& path) override
    {
        steps.push_back("import " + path);
        return true;
    }
    bool RewriteRegistryFile(const std::string& path, const std::string& find,
                             const std::string& replace) override
    {
        steps.push_back("rewrite " + path + " " + find + " -> " + replace);
        return rewriteSucceeds;
    }

    std::vector<std::string> steps;
    bool rewriteSucceeds = true;

protected:
    bool KeysFit(const std::string&, int, const std::string&, int) override { return true; }
    std::string ReadIdentityUserName(const std::string& guid) override
    {
        steps.push_back("read " + guid);
        return m_userName;
    }

private:
    std::string m_userName;
};

struct KindCase
{
    int kind;
    const char* userName;
    std::vector<std::string> steps;
};

class RestoreTableTest : public ::testing::TestWithParam<KindCase>
{
};

const std::string kMoveIdentity = "rewrite f.reg " + kBackup + " -> " + kTarget;

} // namespace

TEST_P(RestoreTableTest, RunsTheStepsOfTheKind)
{
    const KindCase& c = GetParam();
    CRecordingImport recorder(c.userName);
    EXPECT_TRUE(recorder.RestoreRegistryItem("f.reg", c.kind, kBackup, kTarget));
    EXPECT_EQ(c.steps, recorder.steps) << "kind " << c.kind;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RestoreTableTest,
    ::testing::Values(KindCase{10,
                               "",
                               {"import f.reg",
                                "rewrite f.reg Software\\Microsoft\\ -> Identities\\" + kTarget +
                                    "\\Software\\Microsoft\\",
                                "import f.reg"}},
                      KindCase{16, "", {kMoveIdentity, "import f.reg"}},
                      KindCase{17, "", {kMoveIdentity, "import f.reg"}},
                      KindCase{18, "", {kMoveIdentity, "import f.reg"}},
                      KindCase{19, "", {kMoveIdentity, "import f.reg"}},
                      KindCase{20, "Someone", {kMoveIdentity, "import f.reg", "read " + kTarget}},
                      KindCase{20,
                               "Main Identity",
                               {kMoveIdentity, "import f.reg", "read " + kTarget,
                                "rewrite f.reg \\Identities\\" + kTarget + "\\ -> \\",
                                "import f.reg"}},
                      KindCase{26, "", {"import f.reg"}}, KindCase{27, "", {"import f.reg"}},
                      KindCase{28, "", {"import f.reg"}}, KindCase{0, "", {}}, KindCase{9, "", {}},
                      KindCase{11, "", {}}, KindCase{15, "", {}}, KindCase{21, "", {}},
                      KindCase{25, "", {}}, KindCase{29, "", {}}, KindCase{-1, "", {}}),
    [](const auto& info) {
        const int kind = info.param.kind;
        return (kind < 0 ? "kindMinus" + std::to_string(-kind) : "kind" + std::to_string(kind)) +
               (std::string(info.param.userName) == "Main Identity" ? "Main" : "");
    });

TEST(RestoreTableFailureTest, AFailedRewriteStopsTheImportOfTheMovedFile)
{
    CRecordingImport recorder("");
    recorder.rewriteSucceeds = false;
    EXPECT_FALSE(recorder.RestoreRegistryItem("f.reg", 16, kBackup, kTarget));
    EXPECT_EQ(std::vector<std::string>{kMoveIdentity}, recorder.steps);
    recorder.steps.clear();
    // Kind 10 keeps its global import but does not import the unchanged file again.
    EXPECT_FALSE(recorder.RestoreRegistryItem("f.reg", 10, kBackup, kTarget));
    EXPECT_EQ(2u, recorder.steps.size());
}
