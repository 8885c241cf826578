#include "RegistryTestFixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::string> SubKeys(HKEY key)
{
    std::vector<std::string> names;
    char name[1100];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (TvRegEnumKeyEx(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            return names;
        names.emplace_back(name, size);
    }
}

std::vector<std::string> ValueNames(HKEY key)
{
    std::vector<std::string> names;
    char name[1100];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (TvRegEnumValue(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            return names;
        names.emplace_back(name, size);
    }
}

} // namespace

class RegistryStoreTest : public RegistryFixture
{
};

// Pairs of spellings that name the same key and value.
class RegistryCaseTest : public RegistryFixture,
                         public ::testing::WithParamInterface<std::pair<const char*, const char*>>
{
};

TEST_P(RegistryCaseTest, NamesMatchWithoutCaseAndKeepTheirFirstSpelling)
{
    const auto [written, asked] = GetParam();
    HKEY key = CreateKey((std::string("Software\\") + written).c_str());
    ASSERT_EQ(ERROR_SUCCESS, SetText(key, written, "data"));

    HKEY again = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, OpenKey((std::string("SOFTWARE\\") + asked).c_str(), again));
    EXPECT_EQ("data", GetText(again, asked));
    // Writing through the other spelling replaces the value instead of adding one.
    ASSERT_EQ(ERROR_SUCCESS, SetText(again, asked, "new"));
    EXPECT_EQ((std::vector<std::string>{written}), ValueNames(again));

    DWORD disposition = 0;
    HKEY created = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              TvRegCreateKeyEx(HKEY_CURRENT_USER, (std::string("software\\") + asked).c_str(), 0,
                               nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, &disposition));
    EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);

    HKEY software = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, OpenKey("Software", software));
    EXPECT_EQ((std::vector<std::string>{written}), SubKeys(software));
    for (HKEY k : {key, again, created, software})
        TvRegCloseKey(k);
}

INSTANTIATE_TEST_SUITE_P(Scripts, RegistryCaseTest,
                         ::testing::Values(std::make_pair("Tovan-Soft", "TOVAN-soft"),
                                           std::make_pair("Ärger", "ärger"),
                                           std::make_pair("Straße Ölmühle", "STRAßE ÖLMÜHLE"),
                                           std::make_pair("Ωμέγα", "ΩΜΈΓΑ"),
                                           std::make_pair("Привет Ёж", "пРИВЕТ ёЖ"),
                                           std::make_pair("Łódź", "łÓDŹ")));

TEST_F(RegistryStoreTest, DefaultValueIsTheEmptyName)
{
    HKEY key = CreateKey("Software\\Default");
    ASSERT_EQ(ERROR_SUCCESS, SetText(key, nullptr, "by null"));
    EXPECT_EQ("by null", GetText(key, ""));
    ASSERT_EQ(ERROR_SUCCESS, SetText(key, "", "by empty"));
    EXPECT_EQ("by empty", GetText(key, nullptr));
    EXPECT_EQ((std::vector<std::string>{""}), ValueNames(key));
    EXPECT_EQ(ERROR_SUCCESS, TvRegDeleteValue(key, nullptr));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, TvRegQueryValueEx(key, "", nullptr, nullptr, nullptr, nullptr));
    TvRegCloseKey(key);
}

TEST_F(RegistryStoreTest, SubKeysListSortedByFoldedNameValuesInCreationOrder)
{
    HKEY key = CreateKey("Software\\Order");
    for (const char* name : {"b", "_x", "C", "a", "Z", "ä"})
        TvRegCloseKey(CreateKey((std::string("Software\\Order\\") + name).c_str()));
    // "_" sorts after the upper-case letters, as it does on Windows.
    EXPECT_EQ((std::vector<std::string>{"a", "b", "C", "Z", "_x", "ä"}), SubKeys(key));

    for (const char* name : {"zeta", "alpha", "Mid"})
        ASSERT_EQ(ERROR_SUCCESS, SetText(key, name, name));
    ASSERT_EQ(ERROR_SUCCESS, SetText(key, "ALPHA", "again"));
    ASSERT_EQ(ERROR_SUCCESS, TvRegDeleteValue(key, "zeta"));
    ASSERT_EQ(ERROR_SUCCESS, SetText(key, "zeta", "back"));
    EXPECT_EQ((std::vector<std::string>{"alpha", "Mid", "zeta"}), ValueNames(key));
    TvRegCloseKey(key);
}

TEST_F(RegistryStoreTest, DeleteKeyRefusesSubKeysDeleteTreeRemovesAll)
{
    TvRegCloseKey(CreateKey("Software\\Tree\\Child\\Grandchild"));
    HKEY tree = CreateKey("Software\\Tree");
    ASSERT_EQ(ERROR_SUCCESS, SetText(tree, "v", "1"));

    EXPECT_EQ(ERROR_ACCESS_DENIED, TvRegDeleteKey(HKEY_CURRENT_USER, "Software\\Tree"));
    EXPECT_EQ("1", GetText(tree, "v"));
    EXPECT_EQ(ERROR_SUCCESS, TvRegDeleteKey(tree, "Child\\Grandchild"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, TvRegDeleteKey(tree, "Child\\Grandchild"));

    TvRegCloseKey(CreateKey("Software\\Tree\\Child\\Other"));
    EXPECT_EQ(ERROR_SUCCESS, TvRegDeleteTree(tree, nullptr));
    EXPECT_TRUE(SubKeys(tree).empty());
    EXPECT_TRUE(ValueNames(tree).empty());
    EXPECT_EQ(ERROR_SUCCESS, SetText(tree, "still", "there"));

    TvRegCloseKey(CreateKey("Software\\Tree\\Child\\Other"));
    EXPECT_EQ(ERROR_SUCCESS, TvRegDeleteTree(HKEY_CURRENT_USER, "Software\\Tree"));
    HKEY gone = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, OpenKey("Software\\Tree", gone));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, TvRegDeleteTree(HKEY_CURRENT_USER, "Software\\Tree"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, TvRegDeleteKey(HKEY_CURRENT_USER, ""));
    TvRegCloseKey(tree);
}

class RegistryTypeTest : public RegistryFixture, public ::testing::WithParamInterface<DWORD>
{
};

TEST_P(RegistryTypeTest, TypeAndBytesComeBackAsGiven)
{
    HKEY key = CreateKey("Software\\Types");
    const BYTE data[] = {0, 1, 2, 0xFF, 0, 'a'};
    for (DWORD size : {DWORD{0}, DWORD{1}, DWORD{sizeof data}}) {
        ASSERT_EQ(ERROR_SUCCESS, TvRegSetValueEx(key, "v", 0, GetParam(), data, size));
        BYTE out[16] = {};
        DWORD type = 0;
        DWORD outSize = sizeof out;
        ASSERT_EQ(ERROR_SUCCESS, TvRegQueryValueEx(key, "v", nullptr, &type, out, &outSize));
        EXPECT_EQ(GetParam(), type);
        ASSERT_EQ(size, outSize);
        EXPECT_EQ(0, std::memcmp(data, out, size));
    }
    TvRegCloseKey(key);
}

INSTANTIATE_TEST_SUITE_P(AllTypes, RegistryTypeTest,
                         ::testing::Values(REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD,
                                           REG_DWORD_BIG_ENDIAN, REG_MULTI_SZ, REG_QWORD,
                                           DWORD{4711}, DWORD{0xFFFFFFFF}));

TEST_F(RegistryStoreTest, SmallBufferGetsMoreDataAndTheSizeNeeded)
{
    HKEY key = CreateKey("Software\\Sizes");
    ASSERT_EQ(ERROR_SUCCESS, SetText(key, "text", "twelve chars"));
    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(ERROR_SUCCESS, TvRegQueryValueEx(key, "text", nullptr, &type, nullptr, &size));
    EXPECT_EQ(13u, size);
    EXPECT_EQ(REG_SZ, type);

    char small[12];
    std::memset(small, '#', sizeof small);
    size = sizeof small;
    EXPECT_EQ(ERROR_MORE_DATA, TvRegQueryValueEx(key, "text", nullptr, &type,
                                                 reinterpret_cast<BYTE*>(small), &size));
    EXPECT_EQ(13u, size);
    EXPECT_EQ(std::string(12, '#'), std::string(small, sizeof small));

    char exact[13];
    size = sizeof exact;
    EXPECT_EQ(ERROR_SUCCESS, TvRegQueryValueEx(key, "text", nullptr, &type,
                                               reinterpret_cast<BYTE*>(exact), &size));
    EXPECT_STREQ("twelve chars", exact);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, TvRegQueryValueEx(key, "text", nullptr, &type,
                                                         reinterpret_cast<BYTE*>(exact), nullptr));

    char name[4];
    size = sizeof name;
    EXPECT_EQ(ERROR_MORE_DATA,
              TvRegEnumValue(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(5u, size);
    EXPECT_EQ(ERROR_NO_MORE_ITEMS,
              TvRegEnumValue(key, 1, name, &size, nullptr, nullptr, nullptr, nullptr));
    TvRegCloseKey(key);
}

TEST_F(RegistryStoreTest, HandleOfADeletedKeyReportsKeyDeleted)
{
    HKEY key = CreateKey("Software\\Doomed");
    ASSERT_EQ(ERROR_SUCCESS, SetText(key, "v", "1"));
    ASSERT_EQ(ERROR_SUCCESS, TvRegDeleteKey(HKEY_CURRENT_USER, "Software\\Doomed"));
    EXPECT_EQ(ERROR_KEY_DELETED, TvRegQueryValueEx(key, "v", nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_KEY_DELETED, SetText(key, "v", "2"));

    // A new key of the same name is another key; the old handle stays deleted.
    HKEY reborn = CreateKey("Software\\Doomed");
    EXPECT_EQ(ERROR_KEY_DELETED, SetText(key, "v", "3"));
    HKEY child = nullptr;
    EXPECT_EQ(ERROR_KEY_DELETED, TvRegOpenKeyEx(key, "x", 0, KEY_READ, &child));
    EXPECT_EQ(nullptr, child);
    EXPECT_EQ(ERROR_SUCCESS, TvRegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, TvRegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, SetText(key, "v", "4"));
    EXPECT_EQ(ERROR_INVALID_HANDLE, SetText(nullptr, "v", "4"));
    TvRegCloseKey(reborn);
}

TEST_F(RegistryStoreTest, ReadHandleRefusesWritesWriteHandleRefusesReads)
{
    TvRegCloseKey(CreateKey("Software\\Rights"));
    HKEY reader = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, OpenKey("Software\\Rights", reader, KEY_READ));
    EXPECT_EQ(ERROR_ACCESS_DENIED, SetText(reader, "v", "1"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, TvRegDeleteValue(reader, "v"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, TvRegDeleteTree(reader, nullptr));
    HKEY sub = nullptr;
    EXPECT_EQ(ERROR_ACCESS_DENIED, TvRegCreateKeyEx(reader, "Sub", 0, nullptr, 0, KEY_ALL_ACCESS,
                                                    nullptr, &sub, nullptr));

    HKEY writer = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, OpenKey("Software\\Rights", writer, KEY_WRITE));
    EXPECT_EQ(ERROR_SUCCESS, SetText(writer, "v", "1"));
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              TvRegQueryValueEx(writer, "v", nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ("1", GetText(reader, "v"));
    TvRegCloseKey(reader);
    TvRegCloseKey(writer);
}

TEST_F(RegistryStoreTest, PathRules)
{
    HKEY key = CreateKey("Software\\Paths\\a/b\\");
    HKEY paths = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, OpenKey("Software\\Paths", paths));
    // "/" is part of a key name, not a separator.
    EXPECT_EQ((std::vector<std::string>{"a/b"}), SubKeys(paths));

    HKEY bad = nullptr;
    for (const char* path : {"Software\\\\Paths", "\\Software", "Software\\Paths\\\\"})
        EXPECT_EQ(ERROR_BAD_PATHNAME, TvRegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, 0,
                                                       KEY_ALL_ACCESS, nullptr, &bad, nullptr))
            << path;
    const std::string longest(255, 'k');
    TvRegCloseKey(CreateKey(("Software\\Paths\\" + longest).c_str()));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, TvRegCreateKeyEx(paths, (longest + "k").c_str(), 0, nullptr,
                                                        0, KEY_ALL_ACCESS, nullptr, &bad, nullptr));

    // An empty path opens the key itself; for a root, the root.
    HKEY self = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, TvRegOpenKeyEx(HKEY_CURRENT_USER, "", 0, KEY_READ, &self));
    EXPECT_EQ(HKEY_CURRENT_USER, self);
    EXPECT_EQ(ERROR_SUCCESS, TvRegCloseKey(HKEY_CURRENT_USER));
    for (HKEY k : {key, paths})
        TvRegCloseKey(k);
}

TEST_F(RegistryStoreTest, RootsAreSeparateTrees)
{
    HKEY user = CreateKey("Software\\Same", HKEY_CURRENT_USER);
    HKEY machine = CreateKey("Software\\Same", HKEY_LOCAL_MACHINE);
    ASSERT_EQ(ERROR_SUCCESS, SetText(user, "who", "user"));
    ASSERT_EQ(ERROR_SUCCESS, SetText(machine, "who", "machine"));
    EXPECT_EQ("user", GetText(user, "who"));
    EXPECT_EQ("machine", GetText(machine, "who"));
    HKEY classes = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              TvRegOpenKeyEx(HKEY_CLASSES_ROOT, "Software\\Same", 0, KEY_READ, &classes));
    TvRegCloseKey(user);
    TvRegCloseKey(machine);
}

TEST_F(RegistryStoreTest, CreateTellsNewFromExistingAndInfoCounts)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS, TvRegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Info\\Deep", 0, nullptr,
                                              0, KEY_ALL_ACCESS, nullptr, &key, &disposition));
    EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);
    TvRegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, TvRegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Info", 0, nullptr, 0,
                                              KEY_ALL_ACCESS, nullptr, &key, &disposition));
    EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);
    TvRegCloseKey(CreateKey("Software\\Info\\Longer name"));
    ASSERT_EQ(ERROR_SUCCESS, SetText(key, "a", "12345"));
    ASSERT_EQ(ERROR_SUCCESS, SetText(key, "name", ""));

    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxName = 0, maxData = 0;
    ASSERT_EQ(ERROR_SUCCESS,
              TvRegQueryInfoKey(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr,
                                &values, &maxName, &maxData, nullptr, nullptr));
    EXPECT_EQ(2u, subKeys);
    EXPECT_EQ(11u, maxSubKey);
    EXPECT_EQ(2u, values);
    EXPECT_EQ(4u, maxName);
    EXPECT_EQ(6u, maxData);
    TvRegCloseKey(key);
}

TEST_F(RegistryStoreTest, TbmRegistryNamesTheFileThatGetsTheData)
{
    const std::string first = m_dir / "first.sqlite";
    const std::string second = m_dir / "sub/second.sqlite";
    UseRegistryFile(first);
    HKEY key = CreateKey("Software\\Where");
    ASSERT_EQ(ERROR_SUCCESS, SetText(key, "file", "first"));

    UseRegistryFile(second);
    // Handles of the earlier file are void now.
    EXPECT_EQ(ERROR_INVALID_HANDLE, SetText(key, "file", "second"));
    key = CreateKey("Software\\Where");
    EXPECT_EQ("<error 2>", GetText(key, "file"));
    ASSERT_EQ(ERROR_SUCCESS, SetText(key, "file", "second"));
    EXPECT_TRUE(std::filesystem::exists(second));

    UseRegistryFile(first);
    key = CreateKey("Software\\Where");
    EXPECT_EQ("first", GetText(key, "file"));
    TvRegCloseKey(key);
}

TEST_F(RegistryStoreTest, DefaultFileIsPrivateBelowXdgDataHome)
{
    const char* savedData = std::getenv("XDG_DATA_HOME");
    const std::string saved = savedData ? savedData : "";
    const std::string data = m_dir / "data";
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    unsetenv("TBM_REGISTRY");
    CRegistryStore::Reset();
    const std::string expected = data + "/TBManager/registry.sqlite";
    EXPECT_EQ(expected, CRegistryStore::DatabasePath());

    HKEY key = CreateKey("Software\\Default place");
    EXPECT_EQ(ERROR_SUCCESS, SetText(key, "v", "1"));
    TvRegCloseKey(key);
    struct stat st
    {
    };
    ASSERT_EQ(0, stat(expected.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777);
    ASSERT_EQ(0, stat((data + "/TBManager").c_str(), &st));
    EXPECT_EQ(0700u, st.st_mode & 0777);

    setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
    EXPECT_EQ(std::string(std::getenv("HOME")) + "/.local/share/TBManager/registry.sqlite",
              CRegistryStore::DatabasePath());
    setenv("XDG_DATA_HOME", saved.c_str(), 1);
}

TEST_F(RegistryStoreTest, DamagedOrUnreachableFileFailsCleanly)
{
    const std::string damaged = m_dir / "damaged.sqlite";
    tbmtest::WriteFileBytes(damaged, std::string(4096, 'x'));
    UseRegistryFile(damaged);
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_REGISTRY_CORRUPT, TvRegCreateKeyEx(HKEY_CURRENT_USER, "Software", 0, nullptr, 0,
                                                       KEY_ALL_ACCESS, nullptr, &key, nullptr));
    EXPECT_EQ(std::string(4096, 'x'), tbmtest::ReadFileBytes(damaged));

    const std::string blocker = m_dir / "plain-file";
    tbmtest::WriteFileBytes(blocker, "");
    UseRegistryFile(blocker + "/registry.sqlite");
    EXPECT_EQ(ERROR_REGISTRY_IO_FAILED,
              TvRegCreateKeyEx(HKEY_CURRENT_USER, "Software", 0, nullptr, 0, KEY_ALL_ACCESS,
                               nullptr, &key, nullptr));
    EXPECT_EQ(nullptr, key);
}
