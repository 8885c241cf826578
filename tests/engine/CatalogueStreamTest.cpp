// Byte-exact catalogue streams built by hand: per-source catalogues (CAddInfo) and
// "treeobj.tdat" (CBackupTreeItem), and the streams a reader must refuse.
#include "AddInfo.h"
#include "BackupTreeItem.h"
#include "CatalogueFile.h"
#include "EngineTest.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

CAutoObArray<CAddInfo> OneEntry(const std::string& path)
{
    CAutoObArray<CAddInfo> list;
    auto info = std::make_unique<CAddInfo>();
    info->m_strSourcePath = path;
    list.Add(std::move(info));
    return list;
}

// The fields of a CAddInfo with short strings, as stored.
Bytes AddInfoFields(const std::string& source, const std::string& entry, std::uint32_t directory,
                    std::uint32_t size, const std::string& tree, std::uint32_t kind)
{
    Bytes bytes;
    AppendShortString(bytes, source);
    AppendShortString(bytes, entry);
    AppendU32(bytes, directory);
    AppendU32(bytes, size);
    AppendShortString(bytes, tree);
    AppendU32(bytes, kind);
    return bytes;
}

Bytes Write(const CAutoObArray<CAddInfo>& list)
{
    CObjectWriter out;
    out.WriteObjects(list);
    return out.GetBytes();
}

} // namespace

TEST(CatalogueStreamTest, EmptyListIsACountOfZeroAndNothingElse)
{
    EXPECT_EQ(Bytes({0x00, 0x00}), Write(CAutoObArray<CAddInfo>()));
    EXPECT_TRUE(CCatalogueFile::Parse<CAddInfo>({0x00, 0x00}).empty());
}

TEST(CatalogueStreamTest, FieldsFollowTheClassTagInStoredOrder)
{
    CAutoObArray<CAddInfo> list;
    auto info = std::make_unique<CAddInfo>();
    info->m_strSourcePath = "/home/u/a.txt";
    info->m_strEntryName = "Fav\\a.txt";
    info->m_strTreePath = "Docs\\a.txt";
    info->m_dwDirectory = 0;
    info->m_dwSize = 0x01020304;
    info->m_dwKind = 13;
    // Run-time fields are never stored.
    info->m_nArchiveIndex = 5;
    info->m_strTargetPath = "/tmp/x";
    info->m_strNewName = "y";
    list.Add(std::move(info));

    Bytes expected = {0x01, 0x00};
    AppendNewClass(expected, "CAddInfo");
    Append(expected,
           AddInfoFields("/home/u/a.txt", "Fav\\a.txt", 0, 0x01020304, "Docs\\a.txt", 13));
    EXPECT_EQ(expected, Write(list));
}

TEST(CatalogueStreamTest, StringOf254HasOneByteAnd255ThreeBytesOfLength)
{
    const Bytes short254 = Write(OneEntry(std::string(254, 'a')));
    const Bytes long255 = Write(OneEntry(std::string(255, 'b')));
    const std::size_t fieldsAt = 2 + 6 + std::string("CAddInfo").size();
    EXPECT_EQ(0xFE, short254[fieldsAt]);
    EXPECT_EQ('a', short254[fieldsAt + 1]);
    EXPECT_EQ(Bytes({0xFF, 0xFF, 0x00}),
              Bytes(long255.begin() + fieldsAt, long255.begin() + fieldsAt + 3));
    EXPECT_EQ('b', long255[fieldsAt + 3]);
    EXPECT_EQ(short254.size() + 2 + 1, long255.size());
    EXPECT_EQ(std::string(255, 'b'),
              CCatalogueFile::Parse<CAddInfo>(long255).at(0)->m_strSourcePath);
}

TEST(CatalogueStreamTest, SecondAndLaterObjectsAreIntroducedBy8001)
{
    CAutoObArray<CAddInfo> list;
    for (const char* path : {"/a", "/b", "/c"}) {
        auto info = std::make_unique<CAddInfo>();
        info->m_strSourcePath = path;
        list.Add(std::move(info));
    }
    Bytes expected = {0x03, 0x00};
    AppendNewClass(expected, "CAddInfo");
    Append(expected, AddInfoFields("/a", "", 0, 0, "", 0));
    Append(expected, {0x01, 0x80});
    Append(expected, AddInfoFields("/b", "", 0, 0, "", 0));
    Append(expected, {0x01, 0x80});
    Append(expected, AddInfoFields("/c", "", 0, 0, "", 0));
    EXPECT_EQ(expected, Write(list));
}

TEST(CatalogueStreamTest, SeventyThousandEntriesWriteTheCountEscapeAndReadBack)
{
    CAutoObArray<CAddInfo> list;
    for (std::uint32_t i = 0; i < 70000; ++i) {
        auto info = std::make_unique<CAddInfo>();
        info->m_strSourcePath = std::to_string(i);
        info->m_dwSize = i;
        list.Add(std::move(info));
    }
    const Bytes bytes = Write(list);
    Bytes expected = {0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00};
    AppendNewClass(expected, "CAddInfo");
    for (std::uint32_t i = 0; i < 70000; ++i) {
        if (i > 0)
            Append(expected, {0x01, 0x80});
        Append(expected, AddInfoFields(std::to_string(i), "", 0, i, "", 0));
    }
    ASSERT_EQ(expected, bytes);
    const auto read = CCatalogueFile::Parse<CAddInfo>(bytes);
    ASSERT_EQ(70000u, read.size());
    EXPECT_EQ("69999", read.back()->m_strSourcePath);
    EXPECT_EQ(69999u, read.back()->m_dwSize);
}

TEST(CatalogueStreamTest, WrittenEntryReadsBackFieldForField)
{
    CAutoObArray<CAddInfo> list;
    auto info = std::make_unique<CAddInfo>();
    info->m_strSourcePath = "/home/u/Müller/Ω.txt";
    info->m_strEntryName = "OE\\{GUID}\\dbx\\Inbox.dbx";
    info->m_strTreePath = std::string(70000, 'x');
    info->m_dwDirectory = 1;
    info->m_dwSize = 0xFFFFFFFF;
    info->m_dwKind = 21;
    list.Add(std::move(info));
    const auto read = CCatalogueFile::Parse<CAddInfo>(Write(list));
    ASSERT_EQ(1u, read.size());
    const CAddInfo& back = *read[0];
    EXPECT_EQ(list[0]->m_strSourcePath, back.m_strSourcePath);
    EXPECT_EQ(list[0]->m_strEntryName, back.m_strEntryName);
    EXPECT_EQ(list[0]->m_strTreePath, back.m_strTreePath);
    EXPECT_EQ(1u, back.m_dwDirectory);
    EXPECT_EQ(0xFFFFFFFFu, back.m_dwSize);
    EXPECT_EQ(21u, back.m_dwKind);
    EXPECT_EQ(-1, back.m_nArchiveIndex);
    EXPECT_TRUE(back.m_strTargetPath.empty());
    EXPECT_TRUE(back.m_strNewName.empty());
}

TEST(CatalogueStreamTest, TreeObjItemsAreCatalogueNameDisplayNameKind)
{
    CAutoObArray<CBackupTreeItem> items;
    items.Add(std::make_unique<CBackupTreeItem>("favorites.tdat", "", 13));
    items.Add(std::make_unique<CBackupTreeItem>("{1-2}.tdat", "Main Identity", 2));
    CObjectWriter out;
    out.WriteObjects(items);

    Bytes expected = {0x02, 0x00};
    AppendNewClass(expected, "CBackupTreeItem");
    AppendShortString(expected, "favorites.tdat");
    AppendShortString(expected, "");
    AppendU32(expected, 13);
    Append(expected, {0x01, 0x80});
    AppendShortString(expected, "{1-2}.tdat");
    AppendShortString(expected, "Main Identity");
    AppendU32(expected, 2);
    EXPECT_EQ(expected, out.GetBytes());

    const auto read = CCatalogueFile::Parse<CBackupTreeItem>(expected);
    ASSERT_EQ(2u, read.size());
    EXPECT_EQ("Main Identity", read[1]->m_strDisplayName);
    EXPECT_EQ(2u, read[1]->m_dwKind);
}

// Streams a catalogue reader must refuse with a format error.
struct BadStream
{
    const char* name;
    Bytes bytes;
};

class BadCatalogueTest : public ::testing::TestWithParam<BadStream>
{
};

TEST_P(BadCatalogueTest, IsAFormatError)
{
    EXPECT_THROW(CCatalogueFile::Parse<CAddInfo>(GetParam().bytes), CObjectStreamError);
}

Bytes WithClass(const std::string& name, std::uint16_t schema)
{
    Bytes bytes = {0x01, 0x00};
    AppendNewClass(bytes, name, schema);
    Append(bytes, AddInfoFields("/a", "", 0, 0, "", 0));
    return bytes;
}

Bytes Cut(Bytes bytes, std::size_t drop)
{
    bytes.resize(bytes.size() - drop);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Streams, BadCatalogueTest,
    ::testing::Values(BadStream{"OtherClass", WithClass("CBackupTreeItem", 0)},
                      BadStream{"ClassNameInOtherCase", WithClass("CADDINFO", 0)},
                      BadStream{"SchemaOne", WithClass("CAddInfo", 1)},
                      BadStream{"TailCutByOne", Cut(WithClass("CAddInfo", 0), 1)},
                      BadStream{"TailCutInsideString", Cut(WithClass("CAddInfo", 0), 13)},
                      BadStream{"CountOnly", Bytes{0x02, 0x00}},
                      BadStream{"HalfCount", Bytes{0x01}}, BadStream{"Empty", Bytes{}},
                      BadStream{"ReferenceBeforeClass", Bytes{0x01, 0x00, 0x01, 0x80}},
                      BadStream{"NullInList", Bytes{0x01, 0x00, 0x00, 0x00}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CatalogueStreamTest, EveryShorterPrefixOfAValidStreamIsRefused)
{
    CAutoObArray<CAddInfo> list;
    for (int i = 0; i < 3; ++i) {
        auto info = std::make_unique<CAddInfo>();
        info->m_strSourcePath = std::string(300, 'p');
        info->m_strTreePath = "a\\b";
        list.Add(std::move(info));
    }
    const Bytes bytes = Write(list);
    for (std::size_t size = 0; size < bytes.size(); ++size)
        EXPECT_THROW(CCatalogueFile::Parse<CAddInfo>(Bytes(bytes.begin(), bytes.begin() + size)),
                     CObjectStreamError)
            << size;
}
