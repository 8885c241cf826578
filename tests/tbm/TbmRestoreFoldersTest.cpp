// tbm restore: folders come back with their modes and times, nothing lands outside
// the target, and what the catalogue promises but the backup lacks is a failure.
#include "TbmCommandFixture.h"

#include "AddInfo.h"
#include "ObjectWriter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using tbmtest::Quote;
using tbmtest::ReadFileBytes;
using tbmtest::Shell;
using tbmtest::WriteFileBytes;

// Even seconds: the archive keeps times to two seconds.
constexpr std::time_t kDay = 86400;
constexpr std::time_t kBase = 1600000000;

struct stat Lstat(const std::string& path)
{
    struct stat st
    {
    };
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st;
}

class TbmRestoreFoldersTest : public tbmtest::TbmCommandTest
{
protected:
    void TearDown() override
    {
        // Read-only folders would keep the test folder from being removed.
        for (const auto& entry : fs::recursive_directory_iterator(m_dir.Str()))
            if (entry.is_directory() && !entry.is_symlink())
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
    }

    std::string Backup(const std::string& src)
    {
        const std::string out = m_dir / "b.tbm";
        const auto run = Tbm().Run({"backup", "--no-verify", "--output", out, src});
        EXPECT_EQ(run.status, 0) << run.err;
        return out;
    }

    // The restore report named on the last line of a run's output.
    static std::string Report(const tbmtest::TbmRun& run)
    {
        const std::size_t at = run.out.find("Report: ");
        if (at == std::string::npos)
            return {};
        std::string path = run.out.substr(at + 8);
        path = path.substr(0, path.find('\n'));
        return ReadFileBytes(path);
    }

    static void SetTime(const std::string& path, std::time_t when)
    {
        const utimbuf times{when, when};
        ASSERT_EQ(utime(path.c_str(), &times), 0) << path;
    }
};

TEST_F(TbmRestoreFoldersTest, FolderModesAndTimesComeBackExactly)
{
    const std::string src = m_dir / "tree";
    struct Folder
    {
        std::string path;
        mode_t mode;
        std::time_t time;
    };
    // Deepest first, so that the times set last are not moved by what follows.
    const std::vector<Folder> folders{{src + "/shared/readonly", 0555, kBase},
                                      {src + "/shared/empty", 0711, kBase + kDay},
                                      {src + "/shared", 0755, kBase + 2 * kDay},
                                      {src + "/private", 0700, kBase + 3 * kDay},
                                      {src, 0750, kBase + 4 * kDay}};
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
        ASSERT_EQ(mkdir(it->path.c_str(), 0700), 0);
    WriteFileBytes(src + "/private/id_key", "secret\n");
    chmod((src + "/private/id_key").c_str(), 0600);
    WriteFileBytes(src + "/shared/readonly/a.txt", "first\n");
    WriteFileBytes(src + "/shared/readonly/b.txt", Noise(70000, 3));
    for (const Folder& folder : folders) {
        ASSERT_EQ(chmod(folder.path.c_str(), folder.mode), 0);
        SetTime(folder.path, folder.time);
    }
    const std::string out = Backup(src);

    // Each folder is stored once, as a folder entry.
    const auto listed = Tbm().Run({"list", out});
    ASSERT_EQ(listed.status, 0) << listed.err;
    for (const Folder& folder : folders) {
        std::size_t count = 0;
        const std::string name = folder.path.substr(1) + "/";
        for (const std::string& line : tbmtest::Lines(listed.out))
            count += line.size() >= name.size() &&
                     line.compare(line.size() - name.size(), name.size(), name) == 0;
        EXPECT_EQ(count, 1u) << name;
    }

    const std::string to = m_dir / "to";
    const auto run = Tbm().Run({"restore", out, "--to", to});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const Folder& folder : folders) {
        SCOPED_TRACE(folder.path);
        const struct stat st = Lstat(to + folder.path);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 07777, folder.mode);
        EXPECT_EQ(st.st_mtime, folder.time);
    }
    EXPECT_EQ(ReadFileBytes(to + src + "/private/id_key"), "secret\n");
    EXPECT_EQ(Lstat(to + src + "/private/id_key").st_mode & 07777, 0600u);
    EXPECT_EQ(ReadFileBytes(to + src + "/shared/readonly/b.txt"), Noise(70000, 3));
    // Folders are no files: the summary counts the three files only.
    EXPECT_NE(run.err.find("restore finished: 3 files restored"), std::string::npos) << run.err;
}

TEST_F(TbmRestoreFoldersTest, NothingIsWrittenOutsideTheTarget)
{
    const std::string src = m_dir / "src";
    mkdir(src.c_str(), 0755);
    mkdir((src + "/sub").c_str(), 0755);
    WriteFileBytes(src + "/sub/f.txt", "inside");
    const std::string out = Backup(src);

    // A folder of the target replaced by a link to elsewhere is not followed.
    const std::string outside = m_dir / "outside";
    const std::string to = m_dir / "to";
    fs::create_directories(outside);
    fs::create_directories(to + src);
    fs::create_directory_symlink(outside, to + src + "/sub");
    const auto linked = Tbm().Run({"restore", out, "--to", to, "--existing", "replace"});
    EXPECT_EQ(linked.status, 1) << linked.err;
    EXPECT_TRUE(fs::is_symlink(to + src + "/sub"));
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_EQ(Lstat(outside).st_mode & 07777, 0755u);

    // A catalogue and entry names of someone else's making, as Python's zipfile
    // writes them: names climbing out, absolute names, a path that climbs.
    std::vector<std::unique_ptr<CAddInfo>> items;
    const auto item = [&items](const char* path, const char* entry, const char* tree) {
        auto info = std::make_unique<CAddInfo>();
        info->m_strSourcePath = path;
        info->m_strEntryName = entry;
        info->m_strTreePath = tree;
        info->m_dwKind = 4;
        items.push_back(std::move(info));
    };
    item("/h/evil1", "..\\..\\evil1", "h\\evil1");
    item("/h/evil2", "/abs/evil2", "h\\evil2");
    item("/../../evil3", "evil3", "evil3");
    item("/h/a.txt", "..\\b.txt", "h\\a.txt"); // would be written under another name
    CObjectWriter catalogue;
    catalogue.WriteObjects(items);
    ASSERT_TRUE(catalogue.SaveToFile(m_dir / "MyFiles.tdat"));
    const std::string script = R"(
import sys, zipfile
real, catalogue, out = sys.argv[1:4]
source = zipfile.ZipFile(real)
with zipfile.ZipFile(out, "w") as hostile:
    for name in ("maindata.ini", "treeobj.tdat"):
        hostile.writestr(name, source.read(name))
    hostile.write(catalogue, "MyFiles.tdat")
    hostile.writestr("../../evil1", "one")
    hostile.writestr("/abs/evil2", "two")
    hostile.writestr("evil3", "three")
    hostile.writestr("../b.txt", "four")
)";
    WriteFileBytes(m_dir / "hostile.py", script);
    const std::string bad = m_dir / "hostile.tbm";
    ASSERT_EQ(Shell("python3 " + Quote(m_dir / "hostile.py") + " " + Quote(out) + " " +
                    Quote(m_dir / "MyFiles.tdat") + " " + Quote(bad)),
              0);
    const std::string into = m_dir / "deep/into";
    const auto run = Tbm().Run({"restore", bad, "--to", into});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(ReadFileBytes(into + "/h/evil1"), "one");
    EXPECT_EQ(ReadFileBytes(into + "/h/evil2"), "two");
    EXPECT_EQ(ReadFileBytes(into + "/evil3"), "three");
    EXPECT_FALSE(fs::exists(into + "/h/b.txt"));
    EXPECT_FALSE(fs::exists(into + "/h/a.txt"));
    EXPECT_NE(Report(run).find("does not belong"), std::string::npos);
    for (const char* escaped : {"evil1", "evil3", "b.txt"}) {
        EXPECT_FALSE(fs::exists(m_dir / escaped)) << escaped;
        EXPECT_FALSE(fs::exists(m_dir / "deep" + "/" + escaped)) << escaped;
    }
    EXPECT_FALSE(fs::exists("/abs/evil2"));
}

TEST_F(TbmRestoreFoldersTest, AnItemMissingFromTheBackupIsAFailedRestore)
{
    const std::string src = MakeTree();
    const std::string out = Backup(src);
    ASSERT_EQ(Shell("zip -q -d " + Quote(out) + " '*nested/big.txt'"), 0);
    const std::string to = m_dir / "to";
    const auto run = Tbm().Run({"restore", out, "--to", to});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("1 entry could not be restored"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("kept as"), std::string::npos) << run.err;
    const std::string report = Report(run);
    const std::size_t line = report.find("missing from the backup");
    ASSERT_NE(line, std::string::npos) << report;
    EXPECT_NE(report.rfind("big.txt", line), std::string::npos);
    // The rest is restored.
    EXPECT_EQ(ReadFileBytes(to + src + "/nested/deeper/notes.txt"), "line\n");
    EXPECT_FALSE(fs::exists(to + src + "/nested/big.txt"));
}

} // namespace
