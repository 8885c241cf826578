#include "TbmCommandFixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using tbmtest::Quote;
using tbmtest::Shell;
using tbmtest::TbmCommandTest;

// Python's zipfile reads every entry, finds the catalogue at the root and the tree's
// files, and sees the executable bit.
const char kPythonCheck[] = R"(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
assert z.testzip() is None
names = z.namelist()
for n in ("maindata.ini", "treeobj.tdat", "MyFiles.tdat"):
    assert n in names, n
tail = lambda s: [n for n in names if n.endswith(s)]
assert len(tail("/nested/deeper/notes.txt")) == 1
assert len(tail("/empty folder/")) == 1
assert z.getinfo(tail("/empty.bin")[0]).file_size == 0
assert len(tail("/gr\u00fc\u00dfe \u00e9t\u00e9.txt")) == 1, names
assert z.getinfo(tail("/run.sh")[0]).external_attr >> 16 & 0o111
assert z.getinfo(tail("/nested/fifty.bin")[0]).file_size >= 50 << 20
)";

bool HasTemporaryArchive(const std::string& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().find("~tbm") != std::string::npos)
            return true;
    return false;
}

bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0;
}

TEST_F(TbmCommandTest, BackupOfARealTreePassesEveryPeer)
{
    const std::string src = MakeTree();
    // A 50 MB file, half noise and half text, takes many buffers and both paths of
    // the compressor.
    std::string fifty = Noise(25u << 20, 7);
    fifty.reserve(50u << 20);
    while (fifty.size() < (50u << 20))
        fifty += "a line of text that deflate shrinks well " + std::to_string(fifty.size()) + "\n";
    tbmtest::WriteFileBytes(src + "/nested/fifty.bin", fifty);
    const std::string out = m_dir / "out/tree.tbm";
    const auto run = Tbm().Run({"backup", "--output", out, src});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Backup: " + out), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("backup.html"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("verification passed"), std::string::npos) << run.err;

    EXPECT_EQ(Shell("unzip -tq " + Quote(out)), 0);
    EXPECT_EQ(Shell("7zz t " + Quote(out)), 0);
    tbmtest::WriteFileBytes(m_dir / "check.py", kPythonCheck);
    EXPECT_EQ(Shell("python3 " + Quote(m_dir / "check.py") + " " + Quote(out)), 0);
    EXPECT_EQ(Tbm().Run({"verify", out}).status, 0);
}

// A file of 4.5 GiB (sparse here, with data at both ends) goes into the backup
// whole: peers and the verification accept it, the listing shows its size, and the
// restore gives it back byte for byte.
TEST_F(TbmCommandTest, AFileLargerThanFourGibibytesIsBackedUpAndRestored)
{
    constexpr off_t Size = (off_t{9} << 30) / 2;
    const std::string src = MakeTree();
    const std::string huge = src + "/nested/disk image.img";
    const int fd = open(huge.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(pwrite(fd, "head", 4, 0), 4);
    ASSERT_EQ(pwrite(fd, "tail", 4, Size - 4), 4);
    close(fd);
    const std::string out = m_dir / "out/tree.tbm";
    const auto run = Tbm().Run({"backup", "--output", out, src});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("verification passed"), std::string::npos) << run.err;
    EXPECT_EQ(Shell("unzip -tq " + Quote(out)), 0);
    EXPECT_EQ(Shell("7zz t " + Quote(out) + " >/dev/null"), 0);
    const auto listed = Tbm().Run({"list", "--json", out});
    EXPECT_NE(listed.out.find("\"size\": " + std::to_string(Size)), std::string::npos);

    const std::string to = m_dir / "restored";
    const auto restored = Tbm().Run({"restore", out, "--to", to, "--only", "nested/disk image.img"});
    ASSERT_EQ(restored.status, 0) << restored.err;
    const std::string back = to + huge;
    EXPECT_EQ(std::filesystem::file_size(back), static_cast<std::uintmax_t>(Size));
    EXPECT_EQ(Shell("cmp " + Quote(huge) + " " + Quote(back)), 0);
}

TEST_F(TbmCommandTest, PasswordFromTheEnvironmentEncryptsTheBackup)
{
    const std::string src = MakeTree();
    const std::string out = m_dir / "secret.tbm";
    Tbm().SetEnv("TBM_TEST_PW", "s3cret!");
    // Info-ZIP's unzip reads only the traditional method.
    ASSERT_EQ(Tbm()
                  .Run({"backup", "--password-env", "TBM_TEST_PW", "--encryption", "traditional",
                        "--output", out, src})
                  .status,
              0);
    EXPECT_EQ(Shell("unzip -o -P 's3cret!' " + Quote(out) + " -d " + Quote(m_dir / "unzipped")), 0);
    EXPECT_NE(Shell("unzip -t -P wrong " + Quote(out)), 0);
    // Without the password nobody can be asked (no terminal): a failure, not a hang.
    const auto unasked = Tbm().Run({"verify", out});
    EXPECT_EQ(unasked.status, 1);
    EXPECT_NE(unasked.err.find("password"), std::string::npos) << unasked.err;

    tbmtest::WriteFileBytes(m_dir / "pw", "s3cret!\n");
    EXPECT_EQ(Tbm().Run({"verify", out, "--password-file", m_dir / "pw"}).status, 0);
    tbmtest::WriteFileBytes(m_dir / "wrong", "nope\n");
    EXPECT_EQ(Tbm().Run({"verify", out, "--password-file", m_dir / "wrong"}).status, 1);
}

TEST_F(TbmCommandTest, VolumeSizeSplitsIntoPartsThatReadBack)
{
    const std::string src = m_dir / "noise";
    mkdir(src.c_str(), 0755);
    tbmtest::WriteFileBytes(src + "/a.bin", Noise(200000, 1));
    tbmtest::WriteFileBytes(src + "/b.bin", Noise(100000, 2));
    const std::string out = m_dir / "parts/title.tbm";
    const auto run = Tbm().Run({"backup", "--volume-size", "64k", "--output", out, src});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Exists(m_dir / "parts/title.000"));
    EXPECT_TRUE(Exists(m_dir / "parts/title.001"));
    EXPECT_TRUE(Exists(out));
    EXPECT_EQ(Tbm().Run({"verify", out}).status, 0);
    const std::string to = m_dir / "back";
    ASSERT_EQ(Tbm().Run({"extract", out, "--to", to}).status, 0);
    EXPECT_EQ(tbmtest::ReadFileBytes(to + src + "/a.bin"), Noise(200000, 1));
    EXPECT_EQ(tbmtest::ReadFileBytes(to + src + "/b.bin"), Noise(100000, 2));
}

// Runs that name only paths share the command line's own job, made fresh each time:
// one job folder however often a script runs, and no setting of one run leaks into
// the next.
TEST_F(TbmCommandTest, PathsOnlyRunsShareOneFreshJob)
{
    const std::string src = m_dir / "some";
    mkdir(src.c_str(), 0755);
    tbmtest::WriteFileBytes(src + "/a.bin", Noise(150000, 3));
    ASSERT_EQ(
        Tbm().Run({"backup", "--volume-size", "64k", "--output", m_dir / "p/a.tbm", src}).status,
        0);
    EXPECT_TRUE(Exists(m_dir / "p/a.000"));
    ASSERT_EQ(Tbm().Run({"backup", "--output", m_dir / "q/b.tbm", src}).status, 0);
    EXPECT_TRUE(Exists(m_dir / "q/b.tbm"));
    EXPECT_FALSE(Exists(m_dir / "q/b.000"));
    const std::string jobs = m_home + "/.config/Tovan-Soft/Tovan Backup Manager";
    EXPECT_TRUE(Exists(jobs + "/Command Line/ProjectData.xdat"));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(jobs))
        if (entry.is_directory())
            names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"Command Line"});
}

TEST_F(TbmCommandTest, ABackupThatFitsOneVolumeIsOneFile)
{
    const std::string src = m_dir / "small";
    mkdir(src.c_str(), 0755);
    tbmtest::WriteFileBytes(src + "/a.txt", "tiny");
    const std::string out = m_dir / "one/title.tbm";
    ASSERT_EQ(Tbm().Run({"backup", "--volume-size", "1M", "--output", out, src}).status, 0);
    EXPECT_TRUE(Exists(out));
    EXPECT_FALSE(Exists(m_dir / "one/title.000"));
    EXPECT_EQ(Shell("unzip -tq " + Quote(out)), 0);
}

TEST_F(TbmCommandTest, DefaultJobBacksUpTheDocumentsFolderButNotItself)
{
    const std::string documents = m_home + "/Documents";
    mkdir(documents.c_str(), 0700);
    tbmtest::WriteFileBytes(documents + "/letter.txt", "Dear reader\n");
    const std::string out = documents + "/My Backups/My Documents.tbm";
    ASSERT_EQ(Tbm().Run({"backup"}).status, 0);
    ASSERT_TRUE(Exists(out));
    EXPECT_TRUE(Exists(m_home + "/.config/Tovan-Soft/Tovan Backup Manager/My Documents/"
                                "backup.html"));
    // The second run finds the first backup inside the documents folder and leaves it out.
    ASSERT_EQ(Tbm().Run({"backup", "--no-verify"}).status, 0);
    const auto listed = Tbm().Run({"list", out});
    ASSERT_EQ(listed.status, 0);
    EXPECT_NE(listed.out.find("letter.txt"), std::string::npos);
    EXPECT_EQ(listed.out.find("My Documents.tbm"), std::string::npos) << listed.out;
}

TEST_F(TbmCommandTest, LockedFileIsSkippedWithoutATerminalOrCancelsOnRequest)
{
    const std::string src = m_dir / "locked";
    mkdir(src.c_str(), 0755);
    tbmtest::WriteFileBytes(src + "/ok.txt", "fine");
    tbmtest::WriteFileBytes(src + "/secret.txt", "hidden");
    // Another program holds the file locked for writing (this works for root too).
    const int locked = open((src + "/secret.txt").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(locked, 0);
    struct flock lock
    {
    };
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(fcntl(locked, F_SETLK, &lock), 0);
    const std::string out = m_dir / "locked.tbm";
    const auto skipped = Tbm().Run({"backup", "--output", out, src});
    // The backup is whole but lacks a chosen file: not a success.
    EXPECT_EQ(skipped.status, 1) << skipped.err;
    EXPECT_NE(skipped.err.find("could not back up " + src + "/secret.txt"), std::string::npos)
        << skipped.err;
    EXPECT_NE(skipped.err.find("skipped"), std::string::npos) << skipped.err;
    const auto listed = Tbm().Run({"list", out});
    EXPECT_NE(listed.out.find("ok.txt"), std::string::npos);
    EXPECT_EQ(listed.out.find("secret.txt"), std::string::npos);
    // The report lists the skipped file too.
    const std::size_t report = skipped.out.find("Report: ");
    ASSERT_NE(report, std::string::npos) << skipped.out;
    const std::string reportPath =
        skipped.out.substr(report + 8, skipped.out.find('\n', report) - report - 8);
    EXPECT_NE(tbmtest::ReadFileBytes(reportPath).find("Skip reading the file"), std::string::npos);

    const auto cancelled =
        Tbm().Run({"backup", "--on-error", "cancel", "--output", m_dir / "c.tbm", src});
    EXPECT_EQ(cancelled.status, 3) << cancelled.err;
    close(locked);
}

TEST_F(TbmCommandTest, InterruptCancelsCleanlyAndLeavesAReadableArchive)
{
    const std::string src = m_dir / "large";
    mkdir(src.c_str(), 0755);
    for (int i = 0; i < 6; ++i)
        tbmtest::WriteFileBytes(src + "/part" + std::to_string(i) + ".bin",
                                Noise(16 * 1024 * 1024, static_cast<std::uint32_t>(i)));
    const std::string out = m_dir / "large.tbm";
    const auto run = Tbm().Run({"backup", "--output", out, src}, [&](pid_t pid) {
        // Once the new archive exists beside the output the run is adding files;
        // then interrupt it.
        for (int i = 0; i < 6000 && !HasTemporaryArchive(m_dir.Str()); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        kill(pid, SIGINT);
    });
    EXPECT_EQ(run.status, 3) << run.err;
    // A first backup keeps what was written, and says it is incomplete.
    EXPECT_NE(run.err.find("incomplete"), std::string::npos) << run.err;
    EXPECT_FALSE(HasTemporaryArchive(m_dir.Str()));
    EXPECT_EQ(Shell("unzip -tq " + Quote(out)), 0);
    EXPECT_EQ(Tbm().Run({"verify", out}).status, 0);
}

} // namespace

namespace {

TEST_F(TbmCommandTest, UpdateAndSynchroniseRunsTellTheirCounts)
{
    const std::string src = m_dir / "docs";
    mkdir(src.c_str(), 0755);
    tbmtest::WriteFileBytes(src + "/a.txt", "first");
    tbmtest::WriteFileBytes(src + "/b.txt", "second");
    const std::string out = m_dir / "docs.tbm";
    ASSERT_EQ(Tbm().Run({"backup", "--output", out, src}).status, 0);

    tbmtest::WriteFileBytes(src + "/c.txt", "third");
    const auto updated = Tbm().Run({"backup", "--type", "update", "--output", out, src});
    ASSERT_EQ(updated.status, 0) << updated.err;
    EXPECT_NE(updated.err.find("new 1,"), std::string::npos) << updated.err;

    unlink((src + "/b.txt").c_str());
    const auto synced = Tbm().Run({"backup", "--type", "sync", "--output", out, src});
    ASSERT_EQ(synced.status, 0) << synced.err;
    EXPECT_NE(synced.err.find("removed 1"), std::string::npos) << synced.err;
    const auto listed = Tbm().Run({"list", out});
    EXPECT_NE(listed.out.find("c.txt"), std::string::npos);
    EXPECT_EQ(listed.out.find("b.txt"), std::string::npos) << listed.out;
    EXPECT_EQ(Shell("unzip -tq " + Quote(out)), 0);
}

} // namespace

namespace {

TEST_F(TbmCommandTest, OnATerminalOneLineIsRedrawn)
{
    const std::string src = m_dir / "term";
    mkdir(src.c_str(), 0755);
    tbmtest::WriteFileBytes(src + "/noise.bin", Noise(2000000, 9));
    const std::string out = m_dir / "term.tbm";
    // script(1) gives tbm a terminal of its own; -e passes its exit status on.
    const std::string command = "HOME=" + Quote(m_home) + " " +
                                Quote(tbmtest::CTbmRunner::ProgramPath()) + " backup --output " +
                                Quote(out) + " " + Quote(src);
    const std::string shown = m_dir / "shown.txt";
    ASSERT_EQ(
        Shell("(script -qec " + Quote(command) + " /dev/null < /dev/null > " + Quote(shown) + ")"),
        0);
    const std::string text = tbmtest::ReadFileBytes(shown);
    EXPECT_NE(text.find("\r["), std::string::npos) << text;
    EXPECT_NE(text.find("\x1b[K"), std::string::npos);
    EXPECT_NE(text.find("100%"), std::string::npos);
    EXPECT_NE(text.find(" left"), std::string::npos);
    EXPECT_EQ(Shell("unzip -tq " + Quote(out)), 0);
}

} // namespace

namespace {

TEST_F(TbmCommandTest, NamedJobKeepsItsPathsForTheNextRun)
{
    const std::string src = m_dir / "kept";
    mkdir(src.c_str(), 0755);
    tbmtest::WriteFileBytes(src + "/one.txt", "1");
    const std::string out = m_dir / "kept.tbm";
    ASSERT_EQ(Tbm().Run({"backup", "--job", "Weekly", "--output", out, src}).status, 0);
    tbmtest::WriteFileBytes(src + "/two.txt", "2");
    // No paths: the job's saved selection and output are used again.
    const auto again = Tbm().Run({"backup", "--job", "Weekly", "--no-verify"});
    ASSERT_EQ(again.status, 0) << again.err;
    const auto listed = Tbm().Run({"list", out});
    EXPECT_NE(listed.out.find("two.txt"), std::string::npos) << listed.out;
}

} // namespace

namespace {

// The encryption "list --json" gives for the entries of `archive` that hold data
// (empty files go in unencrypted), sorted and joined with ",".
const char kEncryptionsOf[] = R"(
import json, sys
entries = json.load(open(sys.argv[1]))
assert all(e["encrypted"] == (e["encryption"] != "none") for e in entries)
found = sorted({e["encryption"] for e in entries if e["size"] > 0})
sys.exit(0 if ",".join(found) == sys.argv[2] else 1)
)";

class TbmEncryptionTest : public TbmCommandTest
{
protected:
    void SetUp() override
    {
        TbmCommandTest::SetUp();
        Tbm().SetEnv("TBM_PW", "open sesame");
        tbmtest::WriteFileBytes(m_dir / "encryptions.py", kEncryptionsOf);
    }

    bool ListsAs(const std::string& archive, const std::string& expected)
    {
        const auto listed = Tbm().Run({"list", "--json", archive});
        tbmtest::WriteFileBytes(m_dir / "list.json", listed.out);
        return listed.status == 0 && Shell("python3 " + Quote(m_dir / "encryptions.py") + " " +
                                           Quote(m_dir / "list.json") + " " + Quote(expected)) == 0;
    }

    // The report the run's output names.
    static std::string ReportOf(const tbmtest::TbmRun& run)
    {
        const std::size_t at = run.out.find("Report: ");
        if (at == std::string::npos)
            return {};
        return tbmtest::ReadFileBytes(run.out.substr(at + 8, run.out.find('\n', at) - at - 8));
    }
};

// A saved job keeps the method it was given: its later runs with the password alone
// stay traditional, while a run without a method of its own takes AES-256.
TEST_F(TbmEncryptionTest, MethodReachesTheEntriesTheListingAndTheReport)
{
    const std::string src = MakeTree();
    const std::string traditional = m_dir / "traditional.tbm";
    const auto first = Tbm().Run({"backup", "--job", "Weekly", "--password-env", "TBM_PW",
                                  "--encryption", "traditional", "--output", traditional, src});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_TRUE(ListsAs(traditional, "traditional"));
    EXPECT_NE(ReportOf(first).find("Backup Encryption : traditional ZIP encryption"),
              std::string::npos);
    const auto again = Tbm().Run({"backup", "--job", "Weekly", "--password-env", "TBM_PW"});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_TRUE(ListsAs(traditional, "traditional"));

    const std::string aes = m_dir / "aes.tbm";
    const auto strong = Tbm().Run({"backup", "--password-env", "TBM_PW", "--output", aes, src});
    ASSERT_EQ(strong.status, 0) << strong.err;
    EXPECT_NE(ReportOf(strong).find("Backup Encryption : AES-256"), std::string::npos);
    EXPECT_TRUE(ListsAs(aes, "aes256"));
    EXPECT_EQ(Shell("7zz t " + Quote("-popen sesame") + " " + Quote(aes)), 0);

    const auto plain = Tbm().Run({"backup", "--output", m_dir / "plain.tbm", src});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_TRUE(ListsAs(m_dir / "plain.tbm", "none"));
    EXPECT_EQ(ReportOf(plain).find("Backup Encryption"), std::string::npos);
}

// The update copies the stored entries as they are, so it must have their password;
// another one fails the run before the new archive is begun.
TEST_F(TbmEncryptionTest, UpdateWithAnotherPasswordIsRefusedAndWritesNothing)
{
    const std::string src = MakeTree();
    const std::string out = m_dir / "out/docs.tbm";
    ASSERT_EQ(Tbm().Run({"backup", "--password-env", "TBM_PW", "--output", out, src}).status, 0);
    const std::string before = tbmtest::ReadFileBytes(out);
    tbmtest::WriteFileBytes(src + "/new.txt", "new");
    Tbm().SetEnv("TBM_WRONG", "open barley");
    const auto wrong = Tbm().Run(
        {"backup", "--type", "update", "--password-env", "TBM_WRONG", "--output", out, src});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("Bad Password"), std::string::npos) << wrong.err;
    EXPECT_NE(wrong.err.find("Nothing was written"), std::string::npos) << wrong.err;
    EXPECT_TRUE(tbmtest::ReadFileBytes(out) == before);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir / "out"))
        names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"docs.tbm"});

    const auto right =
        Tbm().Run({"backup", "--type", "update", "--password-env", "TBM_PW", "--output", out, src});
    ASSERT_EQ(right.status, 0) << right.err;
    EXPECT_NE(right.err.find("new 1,"), std::string::npos) << right.err;
}

// One changed byte in the ciphertext of an AES backup: the verification names the
// failed authentication, and the restore leaves no file (and no temporary one) where
// that entry would go, while the other files come back.
TEST_F(TbmEncryptionTest, TamperedAesEntryFailsVerificationAndIsNotRestored)
{
    const std::string src = MakeTree();
    const std::string out = m_dir / "out/docs.tbm";
    ASSERT_EQ(Tbm().Run({"backup", "--password-env", "TBM_PW", "--output", out, src}).status, 0);
    std::string bytes = tbmtest::ReadFileBytes(out);
    const std::size_t name = bytes.find("nested/big.txt");
    ASSERT_NE(name, std::string::npos);
    const std::size_t local = bytes.rfind("PK\x03\x04", name);
    ASSERT_NE(local, std::string::npos);
    const auto at16 = [&](std::size_t at) {
        return static_cast<std::size_t>(static_cast<unsigned char>(bytes[at]) |
                                        static_cast<unsigned char>(bytes[at + 1]) << 8);
    };
    const std::size_t data = local + 30 + at16(local + 26) + at16(local + 28);
    bytes[data + 18 + 1000] = static_cast<char>(bytes[data + 18 + 1000] ^ 1);
    tbmtest::WriteFileBytes(out, bytes);

    const auto verify = Tbm().Run({"verify", "--password-env", "TBM_PW", out});
    EXPECT_EQ(verify.status, 1);
    EXPECT_NE((verify.out + verify.err).find("authentication check"), std::string::npos)
        << verify.out << verify.err;

    const std::string to = m_dir / "restored";
    const auto restore = Tbm().Run({"restore", "--password-env", "TBM_PW", out, "--to", to});
    EXPECT_EQ(restore.status, 1) << restore.err;
    EXPECT_EQ(tbmtest::ReadFileBytes(to + src + "/nested/deeper/notes.txt"), "line\n");
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(to + src + "/nested"))
        left.push_back(entry.path().filename());
    EXPECT_EQ(left, std::vector<std::string>{"deeper"});
}

} // namespace
