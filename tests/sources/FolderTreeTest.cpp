#include "FolderTree.h"

#include "CheckTreeModel.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace tvcheck;

class FolderTreeTest : public tbmtest::TempDirTest
{
protected:
    void SetUp() override
    {
        char real[PATH_MAX];
        ASSERT_NE(realpath(m_dir.Str().c_str(), real), nullptr);
        m_root = real;
        for (const char* folder : {"/B", "/a", "/a/deep", "/c"})
            mkdir((m_root + folder).c_str(), 0700);
        tbmtest::WriteFileBytes(m_root + "/z.txt", "zzz");
        tbmtest::WriteFileBytes(m_root + "/A.txt", "a");
        tbmtest::WriteFileBytes(m_root + "/a/one.txt", "1");
        ASSERT_EQ(symlink("a", (m_root + "/link").c_str()), 0);
        m_item = m_folders.AddFolder({}, "top", m_root, false);
    }

    std::vector<std::string> ChildTexts(TvTreeItem item) const
    {
        std::vector<std::string> texts;
        for (TvTreeItem child = m_tree.GetChildItem(item); child;
             child = m_tree.GetNextSiblingItem(child))
            texts.push_back(m_tree.GetItemText(child));
        return texts;
    }
    std::vector<std::string> FileNames(TvTreeItem item) const
    {
        std::vector<std::string> names;
        for (const CFolderTreeFile& file : m_folders.GetNode(item)->m_Files)
            names.push_back(file.m_strName);
        return names;
    }
    TvTreeItem Child(TvTreeItem item, const std::string& text) const
    {
        for (TvTreeItem child = m_tree.GetChildItem(item); child;
             child = m_tree.GetNextSiblingItem(child))
            if (m_tree.GetItemText(child) == text)
                return child;
        return {};
    }

    std::string m_root;
    CCheckTreeModel m_tree;
    CFolderTree m_folders{m_tree};
    TvTreeItem m_item;
};

TEST_F(FolderTreeTest, OpensOnceSortedWithLinksAsFiles)
{
    ASSERT_NE(m_folders.GetNode(m_item), nullptr);
    EXPECT_FALSE(m_tree.ItemHasChildren(m_item));
    EXPECT_TRUE(m_folders.GetNode(m_item)->m_Files.empty());
    EXPECT_TRUE(m_folders.HasSubfolders(m_item)); // from the disk, still unopened

    ASSERT_TRUE(m_folders.OpenFolder(m_item));
    ASSERT_TRUE(m_folders.OpenFolder(m_item)); // listed once only
    EXPECT_EQ(ChildTexts(m_item), (std::vector<std::string>{"a", "B", "c"}));
    EXPECT_EQ(FileNames(m_item), (std::vector<std::string>{"A.txt", "link", "z.txt"}));
    const CFolderTreeFile* link = m_folders.FindFile(m_item, "link");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->m_bLink);
    EXPECT_EQ(link->m_strPath, m_root + "/link");
    EXPECT_EQ(m_folders.FindFile(m_item, "z.txt")->m_nSize, 3u);
    EXPECT_EQ(m_folders.FindFile(m_item, "Z.TXT"), nullptr);
    EXPECT_EQ(m_folders.GetNode(Child(m_item, "a"))->m_strPath, m_root + "/a");

    // Engine code reads item data as a tag; a folder's is a kind-4 tag.
    const auto* tag = reinterpret_cast<const ItemTag*>(m_tree.GetItemData(m_item));
    EXPECT_EQ(tag->kind, 4u);
    EXPECT_EQ(m_folders.GetNode(TvTreeItem{}), nullptr);
}

TEST_F(FolderTreeTest, OpeningTakesTheFolderCheckAtThatMoment)
{
    const TvTreeItem a = m_folders.FindFolder(m_root + "/a"); // not below m_item
    ASSERT_TRUE(a);
    m_tree.CheckItem(m_item, kCheck);
    ASSERT_TRUE(m_folders.OpenFolder(m_item));
    for (TvTreeItem child = m_tree.GetChildItem(m_item); child;
         child = m_tree.GetNextSiblingItem(child))
        EXPECT_EQ(m_tree.GetItemCheckState(child), kChecked);
    EXPECT_EQ(m_tree.GetItemCheckState(m_item), kCheckedPartial);
    for (const CFolderTreeFile& file : m_folders.GetNode(m_item)->m_Files)
        EXPECT_EQ(file.m_nState, kChecked);

    ASSERT_TRUE(m_folders.OpenFolder(a)); // its folder is unchecked
    EXPECT_EQ(m_tree.GetItemCheckState(m_folders.FindFolder(m_root + "/a/deep")), kUnchecked);
    EXPECT_EQ(m_folders.FindFile(a, "one.txt")->m_nState, kUnchecked);
}

TEST_F(FolderTreeTest, FindFolderWalksFromTheRootAndNeverThroughLinks)
{
    const TvTreeItem deep = m_folders.FindFolder(m_root + "//a/./x/../deep/");
    ASSERT_TRUE(deep);
    EXPECT_EQ(m_folders.GetNode(deep)->m_strPath, m_root + "/a/deep");
    EXPECT_EQ(m_folders.FindFolder(m_root + "/a/deep"), deep);
    const TvTreeItem top = m_folders.GetRootFolder();
    EXPECT_EQ(m_tree.GetItemText(top), "/");
    EXPECT_EQ(m_folders.FindFolder("/"), top);
    EXPECT_FALSE(m_folders.FindFolder(m_root + "/link"));
    EXPECT_FALSE(m_folders.FindFolder(m_root + "/link/deep"));
    EXPECT_FALSE(m_folders.FindFolder(m_root + "/z.txt"));
    EXPECT_FALSE(m_folders.FindFolder(m_root + "/gone"));
    EXPECT_FALSE(m_folders.FindFolder("relative/a"));

    const TvTreeItem home = m_folders.ShowHomeFolder();
    ASSERT_TRUE(home);
    char real[PATH_MAX];
    ASSERT_NE(realpath(std::getenv("HOME"), real), nullptr);
    EXPECT_EQ(m_folders.GetNode(home)->m_strPath, real);
}

TEST_F(FolderTreeTest, CheckFolderAndMatchSubtreeReachEveryLoadedRecord)
{
    ASSERT_TRUE(m_folders.OpenFolder(m_item));
    const TvTreeItem a = Child(m_item, "a");
    ASSERT_TRUE(m_folders.OpenFolder(a));
    m_folders.CheckFolder(m_item, true);
    EXPECT_EQ(m_tree.GetItemCheckState(m_item), kCheckedPartial);
    EXPECT_EQ(m_tree.GetItemCheckState(Child(a, "deep")), kChecked);
    EXPECT_EQ(m_folders.FindFile(a, "one.txt")->m_nState, kChecked);
    EXPECT_EQ(m_folders.FindFile(m_item, "A.txt")->m_nState, kChecked);

    m_folders.CheckFolder(m_item, false);
    EXPECT_EQ(m_tree.GetItemCheckState(m_item), kUnchecked);
    EXPECT_EQ(m_tree.GetItemCheckState(Child(a, "deep")), kUnchecked);
    EXPECT_EQ(m_folders.FindFile(a, "one.txt")->m_nState, kUnchecked);

    // A checked item with stray states below: the subtree follows the item.
    m_tree.SetItemCheckState(m_item, kChecked);
    m_tree.SetItemCheckState(a, kUnchecked);
    m_folders.MatchSubtree(m_item);
    EXPECT_EQ(m_tree.GetItemCheckState(a), kCheckedPartial);
    EXPECT_EQ(m_tree.GetItemCheckState(m_item), kCheckedPartial);
    EXPECT_EQ(m_folders.FindFile(a, "one.txt")->m_nState, kChecked);
    EXPECT_EQ(m_folders.FindFile(m_item, "z.txt")->m_nState, kChecked);
}

} // namespace
