#include "ShellFileOpTest.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace {

bool SameTime(const struct stat& a, const struct stat& b)
{
    return a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

std::string LinkText(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::read_symlink(path, ec).string();
}

} // namespace

// Where items land, for the shapes of source and target lists.
struct PlacementCase
{
    const char* name;
    std::vector<std::string> sources;
    std::vector<std::string> targets;
    std::uint16_t flags;
    std::vector<std::string> expected;   // created, relative to the test folder
    std::vector<std::string> unexpected; // not created
};

class ShellFileOpPlacementTest : public ShellFileOpTest,
                                 public ::testing::WithParamInterface<PlacementCase>
{
};

TEST_P(ShellFileOpPlacementTest, CopiesLandWhereTheShellPutsThem)
{
    const PlacementCase& c = GetParam();
    File("src/a.txt", "A");
    File("src/b.log", "B");
    File("src/noext", "N");
    File("src/sub/inner.txt", "I");
    Folder("existing");
    ASSERT_EQ(0, Do(FO_COPY, c.sources, c.targets, c.flags));
    for (const std::string& path : c.expected)
        EXPECT_TRUE(Has(path)) << path;
    for (const std::string& path : c.unexpected)
        EXPECT_FALSE(Has(path)) << path;
    EXPECT_TRUE(Has("src/a.txt")) << "a copy keeps its source";
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ShellFileOpPlacementTest,
    ::testing::Values(
        PlacementCase{"FileIntoFolder", {"src/a.txt"}, {"existing"}, 0, {"existing/a.txt"}, {}},
        PlacementCase{"FileToNewName",
                      {"src/a.txt"},
                      {"new/name.txt"},
                      0,
                      {"new/name.txt"},
                      {"new/name.txt/a.txt"}},
        PlacementCase{"TwoFilesIntoMissingFolder",
                      {"src/a.txt", "src/b.log"},
                      {"made"},
                      0,
                      {"made/a.txt", "made/b.log"},
                      {}},
        PlacementCase{"FolderToNewName", {"src/sub"}, {"copy"}, 0, {"copy/inner.txt"}, {}},
        PlacementCase{
            "FolderIntoFolder", {"src/sub"}, {"existing"}, 0, {"existing/sub/inner.txt"}, {}},
        PlacementCase{"StarDotStarTakesEveryEntry",
                      {"src/*.*"},
                      {"all"},
                      0,
                      {"all/a.txt", "all/b.log", "all/noext", "all/sub/inner.txt"},
                      {}},
        PlacementCase{"PatternPicksMatches",
                      {"src/*.txt"},
                      {"txt"},
                      0,
                      {"txt/a.txt"},
                      {"txt/b.log", "txt/noext", "txt/sub"}},
        PlacementCase{"QuestionMark", {"src/?.log"}, {"q"}, 0, {"q/b.log"}, {"q/a.txt"}},
        PlacementCase{"FilesOnlySkipsFolders",
                      {"src/*"},
                      {"files"},
                      FOF_FILESONLY,
                      {"files/a.txt", "files/noext"},
                      {"files/sub"}},
        PlacementCase{"NoMatchDoesNothing", {"src/*.none"}, {"none"}, 0, {}, {"none"}},
        PlacementCase{"MultiDestRenamesEach",
                      {"src/a.txt", "src/sub"},
                      {"m/one.txt", "m/two"},
                      FOF_MULTIDESTFILES,
                      {"m/one.txt", "m/two/inner.txt"},
                      {"m/a.txt", "m/sub"}},
        PlacementCase{"MultiDestWildcardFillsFolder",
                      {"src/*.log", "src/a.txt"},
                      {"w", "w/renamed.txt"},
                      FOF_MULTIDESTFILES,
                      {"w/b.log", "w/renamed.txt"},
                      {"w/a.txt"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellFileOpTest, FolderTreeKeepsContentModesTimesAndLinks)
{
    File("src/tree/a.txt", "alpha", 0640);
    File("src/tree/deep/b.bin", std::string("\0\1\2\3", 4), 0600);
    File("src/tree/run.sh", "#!/bin/sh\n", 0755);
    File("outside/secret", "not part of the tree");
    Link("src/tree/rel", "../../outside/secret");
    Link("src/tree/abs", P("outside"));
    Link("src/tree/dangling", "nowhere");
    Folder("src/tree/deep", 0750);
    File("src/tree/locked/inside", "filled before it is locked");
    Folder("src/tree/locked", 0555);
    SetTime("src/tree/a.txt", 1000000000, 123456789);
    SetTime("src/tree/deep", 1100000000, 5);
    SetTime("src/tree", 1200000000, 0);
    Folder("dst");

    ASSERT_EQ(0, Do(FO_COPY, {"src/tree"}, {"dst"}, 0));

    EXPECT_EQ("alpha", Read("dst/tree/a.txt"));
    EXPECT_EQ(std::string("\0\1\2\3", 4), Read("dst/tree/deep/b.bin"));
    for (const char* path : {"a.txt", "deep/b.bin", "run.sh", "deep", "locked", ""}) {
        const std::string rel = std::string("tree/") + path;
        EXPECT_EQ(Stat("src/" + rel).st_mode, Stat("dst/" + rel).st_mode) << rel;
    }
    for (const char* path : {"tree/a.txt", "tree/deep", "tree"})
        EXPECT_TRUE(SameTime(Stat(std::string("src/") + path), Stat(std::string("dst/") + path)))
            << path;
    for (const char* link : {"rel", "abs", "dangling"}) {
        EXPECT_TRUE(S_ISLNK(Stat(std::string("dst/tree/") + link).st_mode)) << link;
        EXPECT_EQ(LinkText(P(std::string("src/tree/") + link)),
                  LinkText(P(std::string("dst/tree/") + link)));
    }
    EXPECT_EQ("filled before it is locked", Read("dst/tree/locked/inside"));
    EXPECT_FALSE(Has("dst/tree/abs/secret/x")) << "links are not followed";
    EXPECT_EQ(std::vector<std::string>{}, [&] {
        std::vector<std::string> leftovers;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(P("dst")))
            if (entry.path().filename().string().starts_with(".tbm-"))
                leftovers.push_back(entry.path());
        return leftovers;
    }()) << "no temporary files stay behind";
    Folder("src/tree/locked");
    Folder("dst/tree/locked");
}

TEST_F(ShellFileOpTest, CopyOntoItselfIsRefusedOrNamedAsACopy)
{
    File("d/a.txt", "same");
    Folder("d/f");
    EXPECT_EQ(EINVAL, Do(FO_COPY, {"d/a.txt"}, {"d"}, FOF_NOCONFIRMATION));
    EXPECT_EQ(P("d/a.txt"), m_op.GetLastErrorPath());
    EXPECT_EQ(EINVAL, Do(FO_COPY, {"d/a.txt"}, {"d/a.txt"}, FOF_NOCONFIRMATION));
    EXPECT_EQ("same", Read("d/a.txt"));

    ASSERT_EQ(0, Do(FO_COPY, {"d/a.txt"}, {"d"}, FOF_RENAMEONCOLLISION));
    EXPECT_EQ("same", Read("d/Copy of a.txt"));
    ASSERT_EQ(0, Do(FO_COPY, {"d/f"}, {"d"}, FOF_RENAMEONCOLLISION));
    EXPECT_TRUE(Has("d/Copy of f"));
}

TEST_F(ShellFileOpTest, FolderIntoItsOwnSubtreeIsRefused)
{
    File("d/x/a.txt");
    EXPECT_EQ(EINVAL, Do(FO_COPY, {"d"}, {"d/x"}, FOF_NOCONFIRMATION));
    EXPECT_EQ(EINVAL, Do(FO_MOVE, {"d"}, {"d/x/new"}, FOF_NOCONFIRMATION));
    EXPECT_FALSE(Has("d/x/d"));
    EXPECT_FALSE(Has("d/x/new"));
}

TEST_F(ShellFileOpTest, MissingSourceStopsBeforeAnythingIsDone)
{
    File("a");
    EXPECT_EQ(ENOENT, Do(FO_COPY, {"a", "missing"}, {"dst"}, 0));
    EXPECT_EQ(ENOENT, m_op.GetLastError());
    EXPECT_EQ(P("missing"), m_op.GetLastErrorPath());
    EXPECT_FALSE(m_op.AnyOperationsAborted());
    EXPECT_FALSE(Has("dst/a"));
}

TEST_F(ShellFileOpTest, FirstFailingItemStopsTheBatchAndEarlierItemsStayDone)
{
    File("src/1");
    ASSERT_EQ(0, mkfifo(P("src/2").c_str(), 0600));
    File("src/3");
    EXPECT_EQ(EOPNOTSUPP, Do(FO_COPY, {"src/1", "src/2", "src/3"}, {"dst"}, 0));
    EXPECT_EQ(P("src/2"), m_op.GetLastErrorPath());
    EXPECT_TRUE(Has("dst/1"));
    EXPECT_FALSE(Has("dst/2"));
    EXPECT_FALSE(Has("dst/3"));
}

TEST_F(ShellFileOpTest, TargetBelowAFileFails)
{
    File("a");
    File("plain");
    EXPECT_EQ(ENOTDIR, Do(FO_COPY, {"a"}, {"plain/sub/a"}, 0));
    EXPECT_EQ("x", Read("plain"));
}

TEST_F(ShellFileOpTest, ReadOnlyTargetFolderFailsWithoutLeftovers)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    File("a", "data");
    Folder("ro", 0555);
    EXPECT_EQ(EACCES, Do(FO_COPY, {"a"}, {"ro"}, 0));
    EXPECT_EQ(EACCES, Do(FO_MOVE, {"a"}, {"ro"}, 0));
    EXPECT_TRUE(std::filesystem::is_empty(P("ro")));
    EXPECT_EQ("data", Read("a"));
    Folder("ro", 0755);
}
