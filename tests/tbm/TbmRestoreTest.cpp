#include "TbmCommandFixture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using tbmtest::ReadFileBytes;
using tbmtest::WriteFileBytes;

struct stat Lstat(const std::string& path)
{
    struct stat st
    {
    };
    lstat(path.c_str(), &st);
    return st;
}

bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return lstat(path.c_str(), &st) == 0;
}

void SetTime(const std::string& path, std::time_t when)
{
    const utimbuf times{when, when};
    ASSERT_EQ(utime(path.c_str(), &times), 0) << path;
}

class TbmRestoreTest : public tbmtest::TbmCommandTest
{
protected:
    // The fixture's tree plus a link (stored as a link, not followed) and a
    // read-only file.
    std::string MakeRestoreTree()
    {
        const std::string src = MakeTree();
        EXPECT_EQ(symlink("nested/deeper/notes.txt", (src + "/link to notes").c_str()), 0);
        WriteFileBytes(src + "/nested/locked.txt", "read only\n");
        chmod((src + "/nested/locked.txt").c_str(), 0440);
        return src;
    }

    std::string Backup(const std::string& src, const std::vector<std::string>& extra = {})
    {
        const std::string out = m_dir / "b.tbm";
        std::vector<std::string> args{"backup", "--no-verify", "--output", out};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(src);
        const auto run = Tbm().Run(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return out;
    }

    tbmtest::TbmRun Restore(const std::vector<std::string>& args)
    {
        std::vector<std::string> all{"restore"};
        all.insert(all.end(), args.begin(), args.end());
        return Tbm().Run(all);
    }

    // Every entry below `src` is at `copy` + its path relative to `src`, of the same
    // type, bytes, permission bits, link target and (at 2 seconds) time.
    static void ExpectSameTree(const std::string& src, const std::string& copy)
    {
        std::size_t compared = 0;
        for (const auto& entry : fs::recursive_directory_iterator(src)) {
            const std::string from = entry.path().string();
            const std::string to = copy + from.substr(src.size());
            SCOPED_TRACE(to);
            ASSERT_TRUE(Exists(to));
            const struct stat a = Lstat(from);
            const struct stat b = Lstat(to);
            EXPECT_EQ(a.st_mode & S_IFMT, b.st_mode & S_IFMT);
            ++compared;
            if (S_ISDIR(a.st_mode))
                continue;
            if (S_ISLNK(a.st_mode)) {
                EXPECT_EQ(fs::read_symlink(from), fs::read_symlink(to));
                continue;
            }
            EXPECT_EQ(ReadFileBytes(from), ReadFileBytes(to));
            EXPECT_EQ(a.st_mode & 07777, b.st_mode & 07777);
            EXPECT_EQ(a.st_mtime / 2, b.st_mtime / 2);
        }
        EXPECT_GE(compared, 10u);
    }
};

TEST_F(TbmRestoreTest, RoundTripKeepsBytesStructureTimesModesLinksAndEmptyOnes)
{
    const std::string src = MakeRestoreTree();
    const std::string out = Backup(src);
    const std::string to = m_dir / "to";
    const auto run = Restore({out, "--to", to});
    ASSERT_EQ(run.status, 0) << run.err;
    ExpectSameTree(src, to + src);
    EXPECT_TRUE(S_ISLNK(Lstat(to + src + "/link to notes").st_mode));
    EXPECT_TRUE(fs::is_empty(to + src + "/empty folder"));
    EXPECT_NE(run.err.find("restore finished"), std::string::npos) << run.err;
    const std::size_t report = run.out.find("Report: ");
    ASSERT_NE(report, std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Restore.html"), std::string::npos);
    // No temporary files are left beside the restored ones.
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(to))
        files += entry.is_regular_file() || entry.is_symlink() ? 1 : 0;
    EXPECT_EQ(files, 7u);
}

TEST_F(TbmRestoreTest, FlatPutsEveryFileDirectlyInTheFolder)
{
    const std::string src = MakeRestoreTree();
    const std::string out = Backup(src);
    const std::string to = m_dir / "flat";
    ASSERT_EQ(Restore({out, "--to", to, "--flat"}).status, 0);
    for (const char* name : {"notes.txt", "big.txt", "empty.bin", "run.sh", "locked.txt"})
        EXPECT_TRUE(fs::is_regular_file(to + "/" + name)) << name;
    EXPECT_EQ(ReadFileBytes(to + "/notes.txt"), "line\n");
    EXPECT_TRUE(S_ISLNK(Lstat(to + "/link to notes").st_mode));
    EXPECT_FALSE(Exists(to + "/nested"));
    EXPECT_FALSE(Exists(to + src));
}

TEST_F(TbmRestoreTest, WithoutAFolderTheFilesGoBackToTheirPlaces)
{
    const std::string src = MakeRestoreTree();
    const std::string out = Backup(src);
    const std::string saved = m_dir / "saved";
    fs::copy(src, saved, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    fs::remove_all(src);
    const auto run = Restore({out});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* name : {"/nested/deeper/notes.txt", "/nested/big.txt", "/run.sh"})
        EXPECT_EQ(ReadFileBytes(src + name), ReadFileBytes(saved + name)) << name;
    EXPECT_TRUE(S_ISLNK(Lstat(src + "/link to notes").st_mode));
    EXPECT_TRUE(fs::is_directory(src + "/empty folder"));
    EXPECT_EQ(Lstat(src + "/run.sh").st_mode & 0777, 0755u);
}

TEST_F(TbmRestoreTest, ExistingFilesAreKeptReplacedOrComparedByTime)
{
    const std::string src = m_dir / "docs";
    mkdir(src.c_str(), 0755);
    WriteFileBytes(src + "/a.txt", "stored");
    const std::time_t now = std::time(nullptr);
    SetTime(src + "/a.txt", now - 3600);
    const std::string out = Backup(src);
    const std::string to = m_dir / "to";
    const std::string target = to + src + "/a.txt";
    ASSERT_EQ(Restore({out, "--to", to}).status, 0);

    struct Case
    {
        const char* existing;
        std::time_t mtime; // of the file in place
        const char* expected;
    };
    for (const Case& c : {Case{"keep", now - 7200, "changed"}, Case{"replace", now, "stored"},
                          Case{"newer", now, "changed"}, Case{"newer", now - 7200, "stored"}}) {
        SCOPED_TRACE(std::string(c.existing) + " " + std::to_string(now - c.mtime));
        WriteFileBytes(target, "changed");
        SetTime(target, c.mtime);
        const auto run = Restore({out, "--to", to, "--existing", c.existing});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(ReadFileBytes(target), c.expected);
    }
    // Without the option the preference holds; its default keeps the file, and the
    // summary says it was kept rather than restored.
    WriteFileBytes(target, "changed");
    const auto kept = Restore({out, "--to", to});
    EXPECT_EQ(kept.status, 0);
    EXPECT_EQ(ReadFileBytes(target), "changed");
    EXPECT_NE(kept.err.find("restore finished: 0 files restored, 1 kept as they were"),
              std::string::npos)
        << kept.err;
}

TEST_F(TbmRestoreTest, OnlyRestoresTheMatchingFiles)
{
    const std::string src = MakeRestoreTree();
    const std::string out = Backup(src);
    const std::string to = m_dir / "only";
    const auto run = Restore({out, "--to", to, "--only", "*.txt", "--only", "deeper/*"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_regular_file(to + src + "/nested/deeper/notes.txt"));
    EXPECT_TRUE(fs::is_regular_file(to + src + "/nested/big.txt"));
    EXPECT_FALSE(Exists(to + src + "/run.sh"));
    EXPECT_FALSE(Exists(to + src + "/empty.bin"));
    EXPECT_FALSE(Exists(to + src + "/link to notes"));

    const auto none = Restore({out, "--to", m_dir / "none", "--only", "*.doc"});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("matches --only"), std::string::npos) << none.err;
}

TEST_F(TbmRestoreTest, PasswordsAndSplitBackups)
{
    const std::string src = m_dir / "noise";
    mkdir(src.c_str(), 0755);
    WriteFileBytes(src + "/a.bin", Noise(200000, 1));
    WriteFileBytes(src + "/b.bin", Noise(90000, 2));
    Tbm().SetEnv("TBM_PW", "open sesame");
    Tbm().SetEnv("TBM_WRONG", "closed");
    const std::string out = Backup(src, {"--volume-size", "64k", "--password-env", "TBM_PW"});
    ASSERT_TRUE(Exists(m_dir / "b.000"));

    const auto wrong = Restore({out, "--to", m_dir / "w", "--password-env", "TBM_WRONG"});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("TBM_WRONG is not the backup's password"), std::string::npos)
        << wrong.err;
    const auto unasked = Restore({out, "--to", m_dir / "w"});
    EXPECT_EQ(unasked.status, 1);
    EXPECT_NE(unasked.err.find("protected by a password"), std::string::npos) << unasked.err;
    EXPECT_FALSE(Exists(m_dir / "w" + src));

    const auto run = Restore({out, "--to", m_dir / "r", "--password-env", "TBM_PW"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(m_dir / "r" + src + "/a.bin"), Noise(200000, 1));
    EXPECT_EQ(ReadFileBytes(m_dir / "r" + src + "/b.bin"), Noise(90000, 2));
}

TEST_F(TbmRestoreTest, BadRequestsAreRefusedClearly)
{
    EXPECT_EQ(Restore({"x.tbm", "--flat"}).status, 2);
    EXPECT_EQ(Restore({"x.tbm", "--existing", "sometimes"}).status, 2);
    EXPECT_EQ(Restore({}).status, 2);
    const auto missing = Restore({m_dir / "none.tbm", "--to", m_dir / "to"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no such backup file"), std::string::npos) << missing.err;
    // A plain zip archive has no catalogue to restore from.
    WriteFileBytes(m_dir / "plain.txt", "plain");
    ASSERT_EQ(
        tbmtest::Shell("cd " + tbmtest::Quote(m_dir.Str()) + " && zip -q plain.zip plain.txt"), 0);
    const auto plain = Restore({m_dir / "plain.zip", "--to", m_dir / "to"});
    EXPECT_EQ(plain.status, 1);
    EXPECT_NE(plain.err.find("no backup catalogue"), std::string::npos) << plain.err;
}

} // namespace
