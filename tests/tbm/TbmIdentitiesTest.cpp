// An Outlook Express identity backed up by `tbm backup --source identities` and
// restored by `tbm restore` into a fresh home and registry, as a new identity.
#include "TbmCommandFixture.h"

#include "Dbx5Builder.h"

#include "OEData.h"
#include "OEIdentities.h"

#include "FolderTools.h"
#include "Registry.h"
#include "RegistryStore.h"

#include <cstdlib>

using namespace tbmtest;

namespace {

const std::string kGuid = "{CA201000-0000-4000-8000-00000000000C}";
const std::string kExpress = "Identities\\" + kGuid + "\\Software\\Microsoft\\Outlook Express\\5.0";

void UseRegistry(const std::string& path)
{
    setenv("TBM_REGISTRY", path.c_str(), 1);
    CRegistryStore::Reset();
}

void SetText(const std::string& key, const std::string& name, const std::string& text)
{
    CRegistry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.CreateKey(HKEY_CURRENT_USER, key));
    ASSERT_TRUE(registry.Open(HKEY_CURRENT_USER, key, KEY_ALL_ACCESS));
    ASSERT_TRUE(registry.Write(name, text));
}

void Put(const std::string& path, const std::string& bytes)
{
    tbm::CreateFolderPath(path.substr(0, path.rfind('/')), 0700);
    WriteFileBytes(path, bytes);
}

} // namespace

class TbmIdentitiesTest : public TbmCommandTest
{
protected:
    void SetUp() override
    {
        TbmCommandTest::SetUp();
        const char* saved = std::getenv("TBM_REGISTRY");
        m_savedRegistry = saved ? saved : "";
        UseRegistry(m_dir / "registry.sqlite");
    }
    void TearDown() override
    {
        UseRegistry(m_savedRegistry);
    }

    std::string m_savedRegistry;
};

TEST_F(TbmIdentitiesTest, AnIdentityComesBackIntoAFreshHomeAsANewIdentity)
{
    const std::string store = m_home + "/.local/share/Identities/" + kGuid + "/Microsoft/Outlook Express";
    SetText("Identities", "Default User ID", kGuid);
    SetText("Identities\\" + kGuid, "Username", "Carol");
    SetText(kExpress, "Store Root", "%LocalAppData%\\Identities\\" + kGuid + "\\Microsoft\\Outlook Express");
    SetText(kExpress + "\\Rules\\Mail\\000", "Name", "Carol's rule");
    SetText(kExpress + "\\signatures\\00000000", "name", "Carol's signature");
    SetText("Identities\\" + kGuid + "\\Software\\Microsoft\\Internet Account Manager\\Accounts\\1",
            "Account Name", "carol.example");
    Dbx5Builder builder;
    builder.Add(Dbx5Builder::Folder(1, -1, "Inbox", "Inbox.dbx", 1));
    builder.Add(Dbx5Builder::Folder(2, 1, "Friends", "Friends.dbx", 1));
    const std::string index = builder.Build();
    Put(store + "/Folders.dbx", index);
    Put(store + "/Inbox.dbx", Noise(70000, 1));
    Put(store + "/Friends.dbx", "friends' mail");

    const TbmRun listed = Tbm().Run({"sources"});
    ASSERT_EQ(0, listed.status) << listed.err;
    EXPECT_NE(std::string::npos, listed.out.find("  Carol: 3 files")) << listed.out;

    const std::string backup = m_dir / "mail.tbm";
    const TbmRun backedUp = Tbm().Run({"backup", "--source", "identities", "--output", backup});
    ASSERT_EQ(0, backedUp.status) << backedUp.err;

    const std::string fresh = m_dir / "fresh";
    mkdir(fresh.c_str(), 0700);
    UseRegistry(m_dir / "fresh.sqlite");
    CTbmRunner restorer(m_dir.Str(), fresh);
    const TbmRun restored = restorer.Run({"restore", backup});
    ASSERT_EQ(0, restored.status) << restored.err;
    EXPECT_NE(std::string::npos, restored.err.find("new identity 'Restored Identity'")) << restored.err;

    // The new identity is the default one, so the next backup finds it.
    COEIdentities identities;
    ASSERT_EQ(1, identities.Enumerate());
    ASSERT_EQ(1u, identities.GetGuids().size());
    const std::string guid = identities.GetGuids()[0];
    EXPECT_NE(kGuid, guid);
    EXPECT_EQ(guid, identities.GetMainGuid());
    EXPECT_EQ("Restored Identity", identities.GetNames()[0]);
    const std::string newStore = COEData::LookUpStoreFolder(guid);
    EXPECT_EQ(fresh + "/.local/share/Identities/" + guid + "/Microsoft/Outlook Express", newStore);
    EXPECT_EQ(index, ReadFileBytes(newStore + "/Folders.dbx"));
    EXPECT_EQ(Noise(70000, 1), ReadFileBytes(newStore + "/Inbox.dbx"));
    EXPECT_EQ("friends' mail", ReadFileBytes(newStore + "/Friends.dbx"));
    CRegistry registry(HKEY_CURRENT_USER);
    std::string text;
    const std::string express = "Identities\\" + guid + "\\Software\\Microsoft\\Outlook Express\\5.0";
    EXPECT_TRUE(registry.Open(HKEY_CURRENT_USER, express + "\\Rules\\Mail\\000", KEY_READ) &&
                registry.Read("Name", text));
    EXPECT_EQ("Carol's rule", text);
    EXPECT_TRUE(registry.Open(HKEY_CURRENT_USER, express + "\\signatures\\00000000", KEY_READ) &&
                registry.Read("name", text));
    EXPECT_EQ("Carol's signature", text);
    EXPECT_TRUE(registry.Open(HKEY_CURRENT_USER,
                              "Identities\\" + guid +
                                  "\\Software\\Microsoft\\Internet Account Manager\\Accounts\\1",
                              KEY_READ) &&
                registry.Read("Account Name", text));
    EXPECT_EQ("carol.example", text);
}
