// Extraction replaces a file only with a whole, checked one: a damaged, failed or
// cancelled entry leaves the user's file as it was and no temporary file behind.
#include "ExtractTestUtil.h"
#include "TempDir.h"
#include "TestZip.h"
#include "ZipContainer.h"
#include "ZipException.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <filesystem>

using namespace tbmtest;
namespace fs = std::filesystem;

namespace {

const std::string OldBytes = "the user's good file";

enum class Trouble
{
    None,
    Corrupt,     // a byte of the data flipped
    CancelEarly, // the callback stops after the first of several chunks
    CancelLast,  // the callback stops on the last chunk: the data is whole
};

struct SafeCase
{
    const char* name;
    int level;
    Trouble trouble;
    bool replaced; // the target ends up holding the entry
};

// Stops on a chosen call and records the temporary file's permissions meanwhile.
class CWatchingCallback : public CRecordingCallback
{
public:
    bool Callback(int bytes) override
    {
        for (const std::string& left : TemporaryLeftovers(folder)) {
            struct stat st
            {
            };
            if (stat(left.c_str(), &st) == 0)
                temporaryModes.push_back(st.st_mode & 07777);
        }
        return CRecordingCallback::Callback(bytes);
    }
    std::string folder;
    std::vector<unsigned> temporaryModes;
};

class ZipSafeExtract : public TempDirTest, public ::testing::WithParamInterface<SafeCase>
{
};

} // namespace

TEST_P(ZipSafeExtract, TargetIsReplacedOnlyByAWholeCheckedFile)
{
    const SafeCase& c = GetParam();
    const std::string data = c.level == 0 ? RandomBytes(10000) : Pattern(10000);
    const std::string archive = m_dir / "a.zip";
    WriteEntries(archive, {{"f", data, 0100640, c.level}});
    if (c.trouble == Trouble::Corrupt)
        FlipByte(archive, FirstDataOffset("f") + 5000 * (c.level == 0 ? 1 : 0) + 20);
    const std::string out = m_dir / "out";
    fs::create_directories(out);
    WriteFileBytes(out + "/f", OldBytes);
    fs::permissions(out + "/f", fs::perms::owner_read | fs::perms::owner_write);

    CZipContainer zip;
    ASSERT_TRUE(zip.Open(archive, CZipContainer::ArcOpenReadOnly));
    CWatchingCallback callback;
    callback.folder = out;
    callback.stopAt = c.trouble == Trouble::CancelEarly  ? 1
                      : c.trouble == Trouble::CancelLast ? 3
                                                         : -1;
    zip.SetCallback(&callback, CZipProgressCallback::CbExtract);
    int cause = 0;
    try {
        EXPECT_TRUE(zip.ExtractFile(0, out, true, {}, 4000));
    } catch (const CZipException& e) {
        cause = e.GetCause();
    }
    EXPECT_EQ(zip.GetEntryState(), 0);
    EXPECT_EQ(callback.ends, 1);
    switch (c.trouble) {
    case Trouble::None:
        EXPECT_EQ(cause, 0);
        break;
    case Trouble::Corrupt:
        // Stored data fails the CRC; deflated data may already fail to inflate.
        EXPECT_TRUE(cause == CZipException::ErrCrc || cause == CZipException::ErrZlibData ||
                    cause == CZipException::ErrDamaged)
            << cause;
        break;
    case Trouble::CancelEarly:
        EXPECT_EQ(cause, CZipException::ErrAborted);
        break;
    case Trouble::CancelLast:
        EXPECT_EQ(cause, CZipException::ErrAbortedSafely);
        break;
    }
    EXPECT_EQ(ReadFileBytes(out + "/f"), c.replaced ? data : OldBytes);
    struct stat st
    {
    };
    ASSERT_EQ(stat((out + "/f").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, c.replaced ? 0640u : 0600u);
    EXPECT_TRUE(TemporaryLeftovers(out).empty());
    // Whatever the entry says, the half-written file is the owner's alone.
    EXPECT_FALSE(callback.temporaryModes.empty());
    for (unsigned mode : callback.temporaryModes)
        EXPECT_EQ(mode, 0600u);
}

INSTANTIATE_TEST_SUITE_P(
    Troubles, ZipSafeExtract,
    ::testing::Values(SafeCase{"stored", 0, Trouble::None, true},
                      SafeCase{"deflated", 6, Trouble::None, true},
                      SafeCase{"storedCorrupt", 0, Trouble::Corrupt, false},
                      SafeCase{"deflatedCorrupt", 6, Trouble::Corrupt, false},
                      SafeCase{"storedCancelled", 0, Trouble::CancelEarly, false},
                      SafeCase{"deflatedCancelled", 6, Trouble::CancelEarly, false},
                      SafeCase{"cancelledOnTheLastChunk", 6, Trouble::CancelLast, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TempDirTest, AFolderAtTheTargetIsNeverReplaced)
{
    const std::string archive = m_dir / "a.zip";
    WriteEntries(archive, {{"f", "data"}});
    const std::string out = m_dir / "out";
    fs::create_directories(out + "/f");
    WriteFileBytes(out + "/f/inside", "kept");
    CZipContainer zip;
    ASSERT_TRUE(zip.Open(archive, CZipContainer::ArcOpenReadOnly));
    try {
        zip.ExtractFile(0, out);
        ADD_FAILURE() << "a folder was replaced";
    } catch (const CZipException& e) {
        EXPECT_EQ(e.GetCause(), CZipException::FromErrno(EISDIR).GetCause());
    }
    EXPECT_EQ(zip.GetEntryState(), 0);
    EXPECT_EQ(ReadFileBytes(out + "/f/inside"), "kept");
    EXPECT_TRUE(TemporaryLeftovers(out).empty());
}

TEST_F(TempDirTest, ReadOnlyFilesAreReplacedAndComeBackReadOnly)
{
    const std::string archive = m_dir / "a.zip";
    WriteEntries(archive, {{"ro", "new contents", 0100444}, {"ro", "again", 0100444}});
    const std::string out = m_dir / "out";
    fs::create_directories(out);
    WriteFileBytes(out + "/ro", OldBytes);
    fs::permissions(out + "/ro", fs::perms::owner_read);
    CZipContainer zip;
    ASSERT_TRUE(zip.Open(archive, CZipContainer::ArcOpenReadOnly));
    ASSERT_TRUE(zip.ExtractFile(0, out));
    EXPECT_EQ(ReadFileBytes(out + "/ro"), "new contents");
    ASSERT_TRUE(zip.ExtractFile(1, out)); // over the read-only file it just made
    EXPECT_EQ(ReadFileBytes(out + "/ro"), "again");
    struct stat st
    {
    };
    ASSERT_EQ(stat((out + "/ro").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    CZipEntryHeader time;
    time.SetTime(EntryTime);
    EXPECT_EQ(st.st_mtime, time.GetTime());
}

TEST_F(TempDirTest, AFailedWriteLeavesTheOldFile)
{
    // A file-size limit makes the temporary file fail half way, as a full disk does.
    const std::string archive = m_dir / "a.zip";
    WriteEntries(archive, {{"f", Pattern(200000)}});
    const std::string out = m_dir / "out";
    fs::create_directories(out);
    WriteFileBytes(out + "/f", OldBytes);
    CZipContainer zip;
    ASSERT_TRUE(zip.Open(archive, CZipContainer::ArcOpenReadOnly));
    struct rlimit old
    {
    };
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit limited = old;
    limited.rlim_cur = 65536;
    signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    int cause = 0;
    try {
        zip.ExtractFile(0, out);
    } catch (const CZipException& e) {
        cause = e.GetCause();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(cause, CZipException::FromErrno(EFBIG).GetCause());
    EXPECT_EQ(zip.GetEntryState(), 0);
    EXPECT_EQ(ReadFileBytes(out + "/f"), OldBytes);
    EXPECT_TRUE(TemporaryLeftovers(out).empty());
}
