#include "ShellSelectionFile.h"

#include "CheckTreeModel.h"
#include "FolderTree.h"
#include "ScriptedPrompt.h"
#include "SourcesFixture.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace tvcheck;
using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

void Append(Bytes& bytes, const Bytes& more)
{
    bytes.insert(bytes.end(), more.begin(), more.end());
}

std::unique_ptr<CShellSelectionItem> Item(const std::string& path, std::uint32_t state,
                                          std::uint32_t subfolders, std::uint32_t files,
                                          std::vector<std::string> names)
{
    auto item = std::make_unique<CShellSelectionItem>();
    item->m_strPath = path;
    item->m_nCheckState = state;
    item->m_nAllSubFolders = subfolders;
    item->m_nAllFiles = files;
    item->m_FileNames = std::move(names);
    return item;
}

TEST(ShellSelectionStreamTest, BytesOfTwoItems)
{
    CCheckTreeModel tree;
    CFolderTree folders(tree);
    CShellSelectionFile selection(folders);
    selection.GetItems().push_back(Item("/a", 4, 0, 0, {"x.txt"}));
    selection.GetItems().push_back(Item(std::string(255, 'p'), 2, 1, 1, {}));

    Bytes expected = {0x02, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x13, 0x00};
    Append(expected, Text("CShellSelectionItem"));
    Append(expected, {0x02, '/', 'a', 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x00, 0x05});
    Append(expected, Text("x.txt"));
    Append(expected, {0x01, 0x80, 0xFF, 0xFF, 0x00}); // 255 characters: the long prefix
    Append(expected, Text(std::string(255, 'p')));
    Append(expected, {2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0x00, 0x00});
    EXPECT_EQ(selection.ToBytes(), expected);

    CShellSelectionFile again(folders);
    again.FromBytes(expected);
    ASSERT_EQ(again.GetItems().size(), 2u);
    EXPECT_EQ(again.GetItems()[0]->m_FileNames, std::vector<std::string>{"x.txt"});
    EXPECT_EQ(again.GetItems()[1]->m_strPath.size(), 255u);
    EXPECT_EQ(again.ToBytes(), expected);
}

TEST(ShellSelectionStreamTest, MalformedBytesAreRefusedWithoutChange)
{
    CCheckTreeModel tree;
    CFolderTree folders(tree);
    CShellSelectionFile selection(folders);
    selection.GetItems().push_back(Item("/a", 2, 1, 1, {}));
    const Bytes good = selection.ToBytes();
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        const Bytes shorter(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_THROW(selection.FromBytes(shorter), CObjectStreamError) << cut;
    }
    Bytes otherClass = good;
    otherClass[8] = 'X';
    EXPECT_THROW(selection.FromBytes(otherClass), CObjectStreamError);
    Bytes hugeCount = good;
    hugeCount[good.size() - 2] = 0xFE; // names: far more than the bytes could hold
    EXPECT_THROW(selection.FromBytes(hugeCount), CObjectStreamError);
    ASSERT_EQ(selection.GetItems().size(), 1u);
    EXPECT_EQ(selection.GetItems()[0]->m_strPath, "/a");
}

class ShellSelectionTreeTest : public SourcesFixture
{
protected:
    void SetUp() override
    {
        SourcesFixture::SetUp();
        char real[PATH_MAX];
        ASSERT_NE(realpath(m_dir.Str().c_str(), real), nullptr);
        m_root = std::string(real) + "/data";
        for (const char* folder :
             {"", "/docs", "/docs/old", "/docs/sub", "/pics", "/whole", "/whole/inner", "/music"})
            mkdir((m_root + folder).c_str(), 0700);
        for (const char* file :
             {"/docs/a.txt", "/docs/B.txt", "/docs/c.doc", "/docs/sub/s.txt", "/docs/sub/t.txt",
              "/pics/p1.png", "/pics/p2.png", "/whole/w.txt", "/music/m.mp3"})
            tbmtest::WriteFileBytes(m_root + file, "x");
    }

    // Every item and file record below the data folder with its state; "+" marks a
    // folder that was opened.
    static std::map<std::string, int> Dump(CFolderTree& folders, TvTreeItem top)
    {
        std::map<std::string, int> states;
        CCheckTreeModel& tree = folders.GetTree();
        const TvTreeItem end = folders.GetNextAfterSubtree(top);
        for (TvTreeItem at = top; at && at != end; at = tree.GetNextItemEx(at)) {
            const CFolderTreeNode* node = folders.GetNode(at);
            states[node->m_strPath + (node->m_bOpened ? "+" : "")] = tree.GetItemCheckState(at);
            for (const CFolderTreeFile& file : node->m_Files)
                states[file.m_strPath] = file.m_nState;
        }
        return states;
    }

    std::string m_root;
    const std::string m_file = m_dir / "choice.tbs";
};

TEST_F(ShellSelectionTreeTest, SaveAndLoadBringBackPartialChoices)
{
    CCheckTreeModel tree;
    CFolderTree folders(tree);
    const TvTreeItem docs = folders.FindFolder(m_root + "/docs");
    ASSERT_TRUE(docs);
    folders.CheckFolder(docs, true);
    folders.OpenFolder(docs);
    folders.FindFile(docs, "B.txt")->m_nState = kUnchecked;
    tree.CheckItem(folders.FindFolder(m_root + "/docs/old"), kUncheck);
    const TvTreeItem sub = folders.FindFolder(m_root + "/docs/sub");
    folders.OpenFolder(sub);
    folders.FindFile(sub, "s.txt")->m_nState = kUnchecked;
    const TvTreeItem pics = folders.FindFolder(m_root + "/pics");
    folders.CheckFolder(pics, true);
    folders.OpenFolder(pics);
    folders.CheckFolder(folders.FindFolder(m_root + "/whole"), true); // never opened
    const auto before = Dump(folders, folders.FindFolder(m_root));

    CShellSelectionFile selection(folders);
    ASSERT_EQ(selection.Save(m_file), 1);
    std::map<std::string, const CShellSelectionItem*> saved;
    for (const auto& item : selection.GetItems())
        saved[item->m_strPath] = item.get();
    ASSERT_TRUE(saved.count(m_root + "/docs"));
    EXPECT_EQ(saved[m_root + "/docs"]->m_nAllFiles, 0u);
    EXPECT_EQ(saved[m_root + "/docs"]->m_FileNames, (std::vector<std::string>{"a.txt", "c.doc"}));
    EXPECT_EQ(saved[m_root + "/docs"]->m_nAllSubFolders, 0u); // "old" is unchecked
    ASSERT_TRUE(saved.count(m_root + "/pics"));
    EXPECT_EQ(saved[m_root + "/pics"]->m_nAllFiles, 1u);
    EXPECT_TRUE(saved[m_root + "/pics"]->m_FileNames.empty());
    ASSERT_TRUE(saved.count(m_root + "/whole"));
    EXPECT_EQ(saved[m_root + "/whole"]->m_nAllSubFolders, 1u);
    EXPECT_FALSE(saved.count(m_root + "/docs/old"));
    EXPECT_FALSE(saved.count(m_root + "/music"));

    CCheckTreeModel fresh;
    CFolderTree freshFolders(fresh);
    CShellSelectionFile loaded(freshFolders);
    ASSERT_EQ(loaded.Load(m_file), 1);
    EXPECT_EQ(Dump(freshFolders, freshFolders.FindFolder(m_root)), before);
    // The whole folder stays unopened, so the backup walks all of it.
    EXPECT_FALSE(freshFolders.GetNode(freshFolders.FindFolder(m_root + "/whole"))->m_bOpened);
}

TEST_F(ShellSelectionTreeTest, CheckedSubtreeIsWrittenOnceAndNamesMatchIgnoringCase)
{
    CCheckTreeModel tree;
    CFolderTree folders(tree);
    const TvTreeItem whole = folders.FindFolder(m_root + "/whole");
    folders.CheckFolder(whole, true);
    folders.OpenFolder(whole); // "inner" comes in checked
    CShellSelectionFile selection(folders);
    selection.Capture();
    ASSERT_FALSE(selection.GetItems().empty());
    EXPECT_EQ(selection.GetItems().back()->m_strPath, m_root + "/whole");

    // A folder that is gone is passed over; names compare ignoring case.
    selection.Clear();
    selection.GetItems().push_back(Item(m_root + "/gone", 2, 1, 1, {}));
    selection.GetItems().push_back(Item(m_root + "/docs", 2, 0, 0, {"A.TXT", "b.txt"}));
    selection.Apply();
    const TvTreeItem docs = folders.FindFolder(m_root + "/docs");
    EXPECT_EQ(tree.GetItemCheckState(docs), kChecked);
    EXPECT_EQ(folders.FindFile(docs, "a.txt")->m_nState, kChecked);
    EXPECT_EQ(folders.FindFile(docs, "B.txt")->m_nState, kChecked);
    EXPECT_EQ(folders.FindFile(docs, "c.doc")->m_nState, kUnchecked);
    EXPECT_EQ(tree.GetItemCheckState(folders.FindFolder(m_root + "/docs/sub")), kUnchecked);
}

TEST_F(ShellSelectionTreeTest, FileFailuresAreLoggedAndTheTreeKeepsItsStates)
{
    CCheckTreeModel tree;
    CFolderTree folders(tree);
    const TvTreeItem docs = folders.FindFolder(m_root + "/docs");
    folders.CheckFolder(docs, true);
    CShellSelectionFile selection(folders);
    EXPECT_EQ(selection.Save(m_dir / "no/such/folder.tbs"), 0);
    EXPECT_TRUE(Logged("Fail to create or open current playlist file"));
    EXPECT_EQ(selection.Load(m_dir / "missing.tbs"), 0);
    tbmtest::WriteFileBytes(m_file, "not a selection");
    EXPECT_EQ(selection.Load(m_file), 0);
    EXPECT_EQ(tree.GetItemCheckState(docs), kChecked);
    int failures = 0;
    for (const std::string& line : LogLines())
        failures += line == "Fail to create or open current playlist file" ? 1 : 0;
    EXPECT_EQ(failures, 3);
}

} // namespace

namespace {

// Answers the file dialog with a fixed name (empty: Cancel) and keeps what it was
// asked.
class CFileNamePrompt : public tbmtest::CScriptedPrompt
{
public:
    explicit CFileNamePrompt(std::string answer) : m_answer(std::move(answer)) {}
    bool AskFileName(const FileDialog& dialog, std::string& path) override
    {
        m_asked.push_back(dialog);
        path = m_answer;
        return !m_answer.empty();
    }
    std::vector<FileDialog> m_asked;

private:
    std::string m_answer;
};

TEST_F(ShellSelectionTreeTest, SaveAsAndOpenAskForASelectionFile)
{
    CCheckTreeModel tree;
    CFolderTree folders(tree);
    folders.CheckFolder(folders.FindFolder(m_root + "/pics"), true);
    CShellSelectionFile selection(folders);
    {
        CFileNamePrompt cancel("");
        EXPECT_EQ(selection.SaveAs(), 0);
        EXPECT_FALSE(std::filesystem::exists(m_file));
        EXPECT_EQ(selection.Open(), 0);
    }
    CFileNamePrompt prompt(m_file);
    ASSERT_EQ(selection.SaveAs(), 1);
    ASSERT_EQ(prompt.m_asked.size(), 1u);
    EXPECT_TRUE(prompt.m_asked[0].save);
    EXPECT_EQ(prompt.m_asked[0].filter, "Tovan Backup Selection (*.tbs)");
    EXPECT_EQ(prompt.m_asked[0].pattern, "*.tbs");
    EXPECT_EQ(prompt.m_asked[0].defaultExtension, ".tbs");

    CCheckTreeModel fresh;
    CFolderTree freshFolders(fresh);
    CShellSelectionFile loaded(freshFolders);
    ASSERT_EQ(loaded.Open(), 1);
    EXPECT_FALSE(prompt.m_asked[1].save);
    EXPECT_EQ(fresh.GetItemCheckState(freshFolders.FindFolder(m_root + "/pics")),
              tvcheck::kChecked);
}

} // namespace
