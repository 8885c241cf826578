#include "Dbx5FolderReader.h"

#include "CheckTreeModel.h"
#include "DataSource.h"
#include "Dbx5Builder.h"
#include "TempDir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using tbmtest::Dbx5Builder;
using tbmtest::Dbx5Field;

class Dbx5FolderReaderTest : public tbmtest::TempDirTest
{
protected:
    // Writes the index into the test's store folder and points the reader at it.
    void Prepare(const std::string& bytes)
    {
        tbmtest::WriteFileBytes(m_index, bytes);
        m_reader.SetPaths(m_index, m_dir.Str(), &m_tags);
    }

    bool ReadBytes(const std::string& bytes)
    {
        Prepare(bytes);
        return m_reader.ReadIndex();
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& folder : m_reader.GetFolders())
            names.push_back(folder->m_FolderName.value_or("<none>"));
        return names;
    }

    // The tree below `item` as "depth:text" lines in pre-order.
    void Dump(const CCheckTreeModel& tree, TvTreeItem item, int depth,
              std::vector<std::string>& lines) const
    {
        for (TvTreeItem child = tree.GetChildItem(item); child;
             child = tree.GetNextSiblingItem(child)) {
            lines.push_back(std::to_string(depth) + ":" + tree.GetItemText(child));
            Dump(tree, child, depth + 1, lines);
        }
    }

    const std::string m_index = m_dir / "Folders.dbx";
    CDataSource m_tags;
    CDbx5FolderReader m_reader;
};

std::vector<std::string> FolderNames(std::size_t count)
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i)
        names.push_back("F" + std::to_string(i));
    return names;
}

// 61 folders make a tree of several levels at 51 entries a node and a deep one at 4;
// values come direct and indirect, and fields may be missing.
TEST_F(Dbx5FolderReaderTest, ReadsEveryFolderOfMultiLevelTrees)
{
    tbmtest::WriteFileBytes(m_dir / "F1.DBX", "12345");
    for (const unsigned perNode : {51u, 4u}) {
        Dbx5Builder builder(perNode);
        for (int i = 0; i < 60; ++i)
            builder.Add(Dbx5Builder::Folder(i + 1, i % 3 == 0 ? -1 : i, "F" + std::to_string(i),
                                            "f" + std::to_string(i) + ".dbx", 100 + i));
        builder.Add({Dbx5Field::Direct(0x00, 0xFFFFFF), Dbx5Field::Direct(0x07, 0x123456),
                     {0x03, false, 0, std::string("ab\0cd", 5)}, {0x02, false, 0, "xyz"}});
        ASSERT_TRUE(ReadBytes(builder.Build())) << perNode;
        EXPECT_EQ(m_reader.GetError(), "");
        ASSERT_EQ(m_reader.GetFolders().size(), 61u);
        std::vector<std::string> names = FolderNames(60);
        names.push_back("xyz"); // no zero: the name ends with the body
        EXPECT_EQ(Names(), names);

        const CDbx5Folder& second = *m_reader.GetFolders()[1];
        EXPECT_EQ(second.m_nFolderIndex, 2);
        EXPECT_EQ(second.m_nParentIndex, 1);
        EXPECT_EQ(second.m_nMessageCount, 101);
        EXPECT_EQ(second.m_DbxFileName, "f1.dbx");
        EXPECT_EQ(second.m_strFullPath, m_dir / "F1.DBX"); // found in another letter case
        EXPECT_EQ(second.m_nFileSize, 5u);
        EXPECT_EQ(m_reader.GetFolders()[3]->m_nParentIndex, -1);
        EXPECT_EQ(m_reader.GetFolders()[2]->m_strFullPath, m_dir / "f2.dbx"); // not on disk
        EXPECT_EQ(m_reader.GetFolders()[2]->m_nFileSize, 0u);

        const CDbx5Folder& last = *m_reader.GetFolders().back();
        EXPECT_EQ(last.m_nFolderIndex, 0xFFFFFF);
        EXPECT_EQ(last.m_nMessageCount, 0x123456);
        EXPECT_EQ(last.m_nParentIndex, -1);
        EXPECT_EQ(last.m_DbxFileName, "ab");
        EXPECT_EQ(last.m_strFullPath, m_dir / "ab");
    }
}

struct Damage
{
    const char* name;
    std::function<void(std::string& file, const Dbx5Builder& built)> apply;
    bool read;
    const char* error;
    std::size_t kept;
};

// Eight folders at three entries a node: the root's leading child holds F0 and F1,
// then F2, F4 and F6 are root entries whose children hold F3, F5 and F7. Nodes in
// walk order: root, [F0 F1], [F3], [F5], [F7]. Each fault keeps the folders before it.
TEST_F(Dbx5FolderReaderTest, DamagedIndexesKeepTheFoldersBeforeTheFault)
{
    using B = Dbx5Builder;
    const auto body = [](const B& b, std::size_t object) { return b.m_objects[object] + 12; };
    const std::vector<Damage> damages = {
        {"no values", [](auto& f, auto&) { B::PutU32(f, 0xCC, 0); }, false, "", 0},
        {"no root", [](auto& f, auto&) { B::PutU32(f, 0xEC, 0); }, false, "", 0},
        {"empty file", [](auto& f, auto&) { f.clear(); }, false,
         "Error reading object from input stream !", 0},
        {"short header", [](auto& f, auto&) { f.resize(0x24BB); }, false,
         "Error reading object from input stream !", 0},
        {"entries 0x34", [](auto& f, auto& b) { B::PutU8(f, b.m_nodes[3] + 0x11, 0x34); }, true,
         "Wrong value for entries !", 5},
        {"node marker", [](auto& f, auto& b) { B::PutU32(f, b.m_nodes[2], 1); }, true,
         "Wrong object marker !", 3},
        {"parent", [](auto& f, auto& b) { B::PutU32(f, b.m_nodes[4] + 0x0C, b.m_nodes[1]); },
         true, "Wrong parent !", 7},
        {"short node", [](auto& f, auto& b) { f.resize(b.m_nodes[4] + 0x100); }, true,
         "Error reading node from input stream !", 7},
        {"node past 4 GiB", [](auto& f, auto& b) { B::PutU32(f, b.m_nodes[0] + 0x08, ~0u); },
         true, "Error reading node from input stream !", 0},
        {"subtree count", [](auto& f, auto& b) { B::PutU32(f, b.m_nodes[0] + 0x18 + 8, 2); },
         true, "Wrong number of values found!", 4},
        {"huge value count", [](auto& f, auto&) { B::PutU32(f, 0xCC, ~0u); }, true,
         "Wrong number of values found!", 8},
        {"count 7", [](auto& f, auto&) { B::PutU32(f, 0xCC, 7); }, true,
         "To many values to read !", 7},
        {"count 6", [](auto& f, auto&) { B::PutU32(f, 0xCC, 6); }, true, "To many values !", 6},
        {"shared child",
         [](auto& f, auto& b) { B::PutU32(f, b.m_nodes[0] + 0x18 + 12 + 4, b.m_nodes[2]); }, true,
         "Node read twice !", 5},
        {"value listed twice",
         [](auto& f, auto& b) { B::PutU32(f, b.m_nodes[3] + 0x18, b.m_objects[1]); }, true,
         "Value listed twice !", 5},
        {"root as child",
         [](auto& f, auto& b) { B::PutU32(f, b.m_nodes[0] + 0x18 + 4, b.m_nodes[0]); }, true,
         "Node read twice !", 3},
        {"object marker", [](auto& f, auto& b) { B::PutU32(f, b.m_objects[5], 0); }, true,
         "Wrong object marker !", 5},
        {"body past the end", [](auto& f, auto& b) { B::PutU32(f, b.m_objects[5] + 4, ~0u); },
         true, "Error reading from input stream !", 5},
        {"index past body", [&](auto& f, auto& b) { B::PutU8(f, b.m_objects[5] + 10, 200); }, true,
         "Index larger than body !", 5},
        {"data past body",
         [&](auto& f, auto& b) { B::PutU32(f, body(b, 5) + 4, 0xFFFF01); }, true,
         "Value outside the body !", 5},
        {"data before the previous value",
         [&](auto& f, auto& b) { B::PutU32(f, body(b, 5) + 4, 0x0801); }, true,
         "Value outside the body !", 5},
        {"index 32", [&](auto& f, auto& b) { B::PutU8(f, body(b, 5), 0x80 | 32); }, true,
         "Index to big !", 5},
    };
    for (const Damage& damage : damages) {
        Dbx5Builder builder(3);
        for (int i = 0; i < 8; ++i)
            builder.Add(Dbx5Builder::Folder(i + 1, 0, "F" + std::to_string(i), ""));
        std::string file = builder.Build();
        damage.apply(file, builder);
        EXPECT_EQ(ReadBytes(file), damage.read) << damage.name;
        EXPECT_EQ(m_reader.GetError(), damage.error) << damage.name;
        EXPECT_EQ(Names(), FolderNames(damage.kept)) << damage.name;
    }
}

// Objects after the nodes: a file cut inside the last object's body.
TEST_F(Dbx5FolderReaderTest, ShortBodyAndDeepNodeChain)
{
    Dbx5Builder builder(3);
    for (int i = 0; i < 8; ++i)
        builder.Add(Dbx5Builder::Folder(i + 1, 0, "F" + std::to_string(i), ""));
    std::string file = builder.Build(true);
    file.resize(builder.m_objects[7] + 14);
    EXPECT_TRUE(ReadBytes(file));
    EXPECT_EQ(m_reader.GetError(), "Error reading from input stream !");
    EXPECT_EQ(Names(), FolderNames(7));

    // Each node the leading child of the one before, with matching parents.
    std::string chain(0x24BC + 100 * 0x27C, '\0');
    Dbx5Builder::PutU32(chain, 0xCC, 1);
    Dbx5Builder::PutU32(chain, 0xEC, 0x24BC);
    for (std::uint32_t i = 0, at = 0x24BC; i < 100; ++i, at += 0x27C) {
        Dbx5Builder::PutU32(chain, at, at);
        Dbx5Builder::PutU32(chain, at + 0x08, i < 99 ? at + 0x27C : 0);
        Dbx5Builder::PutU32(chain, at + 0x0C, i == 0 ? 0 : at - 0x27C);
    }
    EXPECT_TRUE(ReadBytes(chain));
    EXPECT_EQ(m_reader.GetError(), "Tree too deep !");
}

TEST_F(Dbx5FolderReaderTest, OnlyRegularFilesAreOpened)
{
    ASSERT_EQ(mkfifo((m_dir / "fifo").c_str(), 0600), 0);
    for (const std::string& path : {m_dir / "fifo", m_dir.Str(), m_dir / "missing", std::string()}) {
        m_reader.SetPaths(path, m_dir.Str(), nullptr);
        EXPECT_FALSE(m_reader.ReadIndex()) << path; // and returns at once
        EXPECT_EQ(m_reader.GetError(), "") << path;
    }
}

// Dbx file names come from the index: only plain names name a file of the store, and
// each file belongs to one folder, by any name; the index itself to none.
TEST_F(Dbx5FolderReaderTest, DbxNamesArePlainAndTakenOnce)
{
    tbmtest::WriteFileBytes(m_dir / "Inbox.dbx", "abc");
    Dbx5Builder builder;
    ASSERT_EQ(symlink("Inbox.dbx", (m_dir / "Link.dbx").c_str()), 0);
    const std::vector<std::string> files = {"..",        "sub/x.dbx", "a\\b.dbx", ".",
                                            "inbox.dbx", "INBOX.dbx", "Link.dbx",  "FOLDERS.DBX"};
    for (std::size_t i = 0; i < files.size(); ++i)
        builder.Add(Dbx5Builder::Folder(static_cast<int>(i), -1, "N" + std::to_string(i), files[i]));
    ASSERT_TRUE(ReadBytes(builder.Build()));
    std::vector<std::string> paths;
    for (const auto& folder : m_reader.GetFolders())
        paths.push_back(folder->m_strFullPath);
    EXPECT_EQ(paths, (std::vector<std::string>{"", "", "", "", m_dir / "Inbox.dbx", "", "", ""}));
    EXPECT_EQ(m_reader.GetFolders()[4]->m_nFileSize, 3u);
    const std::vector<std::string>& lines = m_reader.GetReportLines();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[1], "Mail folder \"N1\": the file name \"sub/x.dbx\" is no plain file name; "
                        "its file is left out");
    EXPECT_EQ(lines[4], "Mail folder \"N5\": the file \"INBOX.dbx\" is listed already; it is left "
                        "out");
    EXPECT_EQ(lines[6], "Mail folder \"N7\": the file \"FOLDERS.DBX\" is listed already; it is "
                        "left out");
}

// Parents by folder index: nesting, a missing parent, a folder its own parent, a ring
// of two, two folders with one index, a top folder without an index. Every folder is
// shown exactly once and the unusual places are reported.
TEST_F(Dbx5FolderReaderTest, FillsTheTreeOnceForEveryFolder)
{
    tbmtest::WriteFileBytes(m_dir / "a.dbx", "");
    Dbx5Builder builder;
    builder.Add(Dbx5Builder::Folder(1, -1, "A", "a.dbx"));
    builder.Add(Dbx5Builder::Folder(2, 1, "B", ""));
    builder.Add(Dbx5Builder::Folder(3, 2, "C", ""));
    builder.Add(Dbx5Builder::Folder(4, 4, "S", ""));
    builder.Add(Dbx5Builder::Folder(5, 6, "X", ""));
    builder.Add(Dbx5Builder::Folder(6, 5, "Y", ""));
    builder.Add(Dbx5Builder::Folder(7, 99, "O", ""));
    builder.Add(Dbx5Builder::Folder(8, 1, "D", ""));
    builder.Add(Dbx5Builder::Folder(1, -1, "E", ""));
    builder.Add({Dbx5Field::Text(0x02, "T")});
    Prepare(builder.Build());

    CCheckTreeModel tree;
    const TvTreeItem parent = tree.InsertItem("Identity");
    ASSERT_TRUE(m_reader.Read(&tree, parent, true));
    std::vector<std::string> lines;
    Dump(tree, parent, 0, lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"0:Mail folders", "1:A", "2:B", "3:C", "2:D", "1:O",
                                               "1:E", "1:T", "1:S", "1:X", "2:Y"}));
    EXPECT_EQ(m_reader.GetReportLines(),
              (std::vector<std::string>{
                  "Mail folder \"O\": its parent folder #99 is missing; it is listed at the top",
                  "Mail folder \"S\": its parent folders lead back to itself; it is listed at the top",
                  "Mail folder \"X\": its parent folders lead back to itself; it is listed at the top"}));

    const TvTreeItem top = tree.GetChildItem(parent);
    std::string key;
    EXPECT_TRUE(tree.GetCheckStringState(top, key));
    EXPECT_EQ(key, "Mail folders");
    const TvTreeItem a = tree.GetChildItem(top);
    EXPECT_TRUE(tree.GetCheckStringState(a, key));
    EXPECT_EQ(key, m_dir / "a.dbx");
    EXPECT_EQ(tree.GetItemCheckState(a), tvcheck::kUnchecked);
    const auto* tag = reinterpret_cast<const ItemTag*>(tree.GetItemData(a));
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->kind, 21u);
    EXPECT_EQ(tag->value, reinterpret_cast<std::uintptr_t>(m_reader.GetFolders()[0].get()));
    EXPECT_EQ(m_tags.GetTagCount(), 10u);

    CCheckTreeModel plain;
    ASSERT_TRUE(m_reader.Read(&plain, {}, false));
    EXPECT_EQ(plain.GetItemCheckState(plain.GetChildItem(plain.GetRootItem())), tvcheck::kNone);
}

// A chain of parents far deeper than any mail store: the tree's own walks recurse, so
// the nesting starts again at the top every 256 levels.
TEST_F(Dbx5FolderReaderTest, DeepFolderChainsAreCutIntoLevels)
{
    Dbx5Builder builder;
    for (int i = 0; i < 600; ++i)
        builder.Add(Dbx5Builder::Folder(i + 1, i == 0 ? -1 : i, "F" + std::to_string(i), ""));
    Prepare(builder.Build());
    CCheckTreeModel tree;
    ASSERT_TRUE(m_reader.Read(&tree, {}, true));
    std::vector<std::string> lines;
    Dump(tree, tree.GetRootItem(), 0, lines);
    ASSERT_EQ(lines.size(), 600u);
    EXPECT_EQ(lines[255], "255:F255");
    EXPECT_EQ(lines[256], "0:F256");
    EXPECT_EQ(lines[512], "0:F512");
    EXPECT_EQ(m_reader.GetReportLines().size(), 2u);
}

} // namespace
