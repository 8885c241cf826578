// Saving and loading check states by key (".xsel" files).
#include "CheckStateString.h"
#include "CheckTreeText.h"
#include "ObjectStreamTestClasses.h"
#include "ObjectWriter.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

using namespace streamtest;

namespace {

Bytes Record(const std::string& key, std::uint32_t state, bool first)
{
    Bytes bytes;
    if (first)
        AppendNewClass(bytes, "CCheckStateString");
    else
        Append(bytes, {0x01, 0x80});
    bytes.push_back(static_cast<std::uint8_t>(key.size()));
    AppendText(bytes, key);
    AppendU32(bytes, state);
    return bytes;
}

std::string AsText(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

void WriteRecords(const std::string& path, const std::vector<CCheckStateString>& records)
{
    CObjectWriter out;
    out.WriteObjects(records);
    ASSERT_TRUE(out.SaveToFile(path));
}

} // namespace

class CheckTreeFileTest : public tbmtest::TempDirTest
{
protected:
    std::string Path() const { return m_dir / "MainTree.xsel"; }
    // A tree with keys on some items: every item is keyed by its own name but X.
    std::map<std::string, TvTreeItem> BuildKeyed(const std::string& text)
    {
        auto items = treetest::Build(m_model, text);
        for (const auto& [name, item] : items)
            if (name != "X")
                m_model.SetCheckStringState(item, name);
        return items;
    }
    CCheckTreeModel m_model;
};

TEST_F(CheckTreeFileTest, SavesKeyedItemsInPreOrder)
{
    const auto items = BuildKeyed("B3[A2 X1] C5");
    m_model.SetCheckStringState(items.at("C"), "Fonts");
    ASSERT_TRUE(m_model.SaveCheckStateToFile(Path()));
    Bytes expected = {0x03, 0x00};
    Append(expected, Record("B", 3, true));
    Append(expected, Record("A", 2, false));
    Append(expected, Record("Fonts", 5, false));
    EXPECT_EQ(AsText(expected), tbmtest::ReadFileBytes(Path()));
    EXPECT_TRUE(m_model.GetLastFileError().empty());
}

TEST_F(CheckTreeFileTest, EmptyTreeSavesAnEmptyList)
{
    ASSERT_TRUE(m_model.SaveCheckStateToFile(Path()));
    EXPECT_EQ(std::string(2, '\0'), tbmtest::ReadFileBytes(Path()));
}

TEST_F(CheckTreeFileTest, LoadSetsStatesAsStoredWithoutPropagation)
{
    BuildKeyed("P1[A1 B1] X1 Q1");
    WriteRecords(Path(), {{"A", 2}, {"Unknown", 2}, {"Q", 5}, {"X", 2}});
    ASSERT_TRUE(m_model.LoadCheckStateFromFile(Path()));
    EXPECT_EQ("P1[A2 B1] X1 Q5", treetest::Describe(m_model));
}

TEST_F(CheckTreeFileTest, LastRecordOfAKeyWins)
{
    BuildKeyed("A1 B1");
    WriteRecords(Path(), {{"A", 2}, {"B", 5}, {"A", 3}, {"B", 4}, {"A", 4}});
    ASSERT_TRUE(m_model.LoadCheckStateFromFile(Path()));
    EXPECT_EQ("A4 B4", treetest::Describe(m_model));
}

TEST_F(CheckTreeFileTest, KeysCompareExactlyAndMayBeShared)
{
    const auto items = treetest::Build(m_model, "A1 B1 C1");
    m_model.SetCheckStringState(items.at("A"), "Mail");
    m_model.SetCheckStringState(items.at("B"), "Mail");
    m_model.SetCheckStringState(items.at("C"), "mail");
    WriteRecords(Path(), {{"Mail", 2}});
    ASSERT_TRUE(m_model.LoadCheckStateFromFile(Path()));
    EXPECT_EQ("A2 B2 C1", treetest::Describe(m_model));
}

TEST_F(CheckTreeFileTest, StatesNoItemCanShowAreIgnored)
{
    BuildKeyed("A1 B3");
    WriteRecords(Path(), {{"A", 2}, {"A", 6}, {"B", 0xFFFFFFFFu}});
    ASSERT_TRUE(m_model.LoadCheckStateFromFile(Path()));
    EXPECT_EQ("A2 B3", treetest::Describe(m_model));
}

TEST_F(CheckTreeFileTest, SavingTwiceAfterALoadWritesTheSameRecords)
{
    BuildKeyed("P3[A2 B1] C4");
    WriteRecords(Path(), {{"B", 2}, {"C", 1}});
    ASSERT_TRUE(m_model.LoadCheckStateFromFile(Path()));
    ASSERT_TRUE(m_model.SaveCheckStateToFile(m_dir / "first.xsel"));
    ASSERT_TRUE(m_model.SaveCheckStateToFile(m_dir / "second.xsel"));
    const std::string first = tbmtest::ReadFileBytes(m_dir / "first.xsel");
    EXPECT_EQ(first, tbmtest::ReadFileBytes(m_dir / "second.xsel"));

    CCheckTreeModel other;
    const auto items = treetest::Build(other, "P1[A1 B1] C1");
    for (const auto& [name, item] : items)
        other.SetCheckStringState(item, name);
    ASSERT_TRUE(other.LoadCheckStateFromFile(m_dir / "first.xsel"));
    EXPECT_EQ("P3[A2 B2] C1", treetest::Describe(other));
}

TEST_F(CheckTreeFileTest, MissingFileIsFalseWithoutAnError)
{
    BuildKeyed("A2");
    EXPECT_FALSE(m_model.LoadCheckStateFromFile(m_dir / "none.xsel"));
    EXPECT_TRUE(m_model.GetLastFileError().empty());
    EXPECT_EQ("A2", treetest::Describe(m_model));
}

TEST_F(CheckTreeFileTest, MalformedFileLeavesTheTreeAsItWas)
{
    BuildKeyed("A1 B1");
    CObjectWriter out;
    out.WriteObjects(std::vector<CCheckStateString>{{"A", 2}, {"B", 2}});
    Bytes cut = out.GetBytes();
    cut.pop_back();
    tbmtest::WriteFileBytes(Path(), AsText(cut));
    EXPECT_FALSE(m_model.LoadCheckStateFromFile(Path()));
    EXPECT_NE(std::string::npos, m_model.GetLastFileError().find("MainTree.xsel"));
    EXPECT_EQ("A1 B1", treetest::Describe(m_model));

    tbmtest::WriteFileBytes(Path(), AsText([] {
                                Bytes other = {0x01, 0x00};
                                AppendNewClass(other, "CAddInfo");
                                return other;
                            }()));
    EXPECT_FALSE(m_model.LoadCheckStateFromFile(Path()));
    EXPECT_NE(std::string::npos, m_model.GetLastFileError().find("CAddInfo"));
}

TEST_F(CheckTreeFileTest, UnreadableAndUnwritablePathsReportAnError)
{
    BuildKeyed("A2");
    std::filesystem::create_directory(m_dir / "folder.xsel");
    EXPECT_FALSE(m_model.LoadCheckStateFromFile(m_dir / "folder.xsel"));
    EXPECT_FALSE(m_model.GetLastFileError().empty());
    EXPECT_FALSE(m_model.SaveCheckStateToFile(m_dir / "missing/MainTree.xsel"));
    EXPECT_NE(std::string::npos, m_model.GetLastFileError().find("missing/MainTree.xsel"));
    ASSERT_TRUE(m_model.SaveCheckStateToFile(Path()));
    EXPECT_TRUE(m_model.GetLastFileError().empty());
    EXPECT_EQ("A2", treetest::Describe(m_model));
}

TEST_F(CheckTreeFileTest, FailedSaveKeepsTheOldFile)
{
    BuildKeyed("A2");
    ASSERT_TRUE(m_model.SaveCheckStateToFile(Path()));
    const std::string before = tbmtest::ReadFileBytes(Path());
    ASSERT_EQ(0, chmod(m_dir.Str().c_str(), 0500));
    m_model.SetItemCheckState(m_model.GetRootItem(), 1);
    const bool saved = m_model.SaveCheckStateToFile(Path());
    chmod(m_dir.Str().c_str(), 0700);
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    EXPECT_FALSE(saved);
    EXPECT_EQ(before, tbmtest::ReadFileBytes(Path()));
}
