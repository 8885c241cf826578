// A file that grows or shrinks while it is being added ends as a consistent entry
// of the bytes read, and the archive says that it changed.
#include "TempDir.h"
#include "TestZip.h"
#include "ZipContainer.h"
#include "ZipWriterTestUtil.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

using namespace tbmtest;
namespace fs = std::filesystem;

namespace {

enum class Change
{
    None,
    Grow,   // 3,000 bytes appended after the first chunk
    Shrink, // cut to 1,500 bytes after the first chunk
};

struct ChangeCase
{
    const char* name;
    int level;
    bool encrypted;
    Change change;
};

const char* const Password = "grow";
constexpr std::uint32_t Chunk = 1000;
constexpr std::size_t Planned = 5000;

// Runs `action` once, on the first chunk reported for adding a file.
class CChangingCallback : public CZipProgressCallback
{
public:
    bool Callback(int) override
    {
        if (action && m_type == CbAdd && !done) {
            done = true;
            action();
        }
        return true;
    }
    std::function<void()> action;
    bool done = false;
};

void ApplyChange(const std::string& path, Change change)
{
    if (change == Change::Grow) {
        std::ofstream out(path, std::ios::binary | std::ios::app);
        const std::string more = Pattern(3000, 9);
        out.write(more.data(), static_cast<std::streamsize>(more.size()));
    } else if (change == Change::Shrink) {
        ASSERT_EQ(truncate(path.c_str(), 1500), 0);
    }
}

std::string ReadEntry(CZipContainer& zip, int index)
{
    EXPECT_TRUE(zip.OpenFile(index));
    std::string data(20000, '\0');
    data.resize(zip.ReadFile(data.data(), static_cast<std::uint32_t>(data.size())));
    EXPECT_EQ(zip.CloseFile(), 1);
    return data;
}

class ZipChangingFile : public TempDirTest, public ::testing::WithParamInterface<ChangeCase>
{
protected:
    // Adds "f" between two steady neighbours, changing it as `change` says, and
    // returns what the file held once adding was done.
    std::string AddChanging(CZipContainer& zip, const ChangeCase& c, int replaceIndex = -1)
    {
        const std::string path = m_dir / "f";
        WriteFileBytes(path, Pattern(Planned, 4));
        CChangingCallback callback;
        callback.action = [&] { ApplyChange(path, c.change); };
        zip.SetCallback(&callback);
        CZipAddInfo info;
        info.m_path = path;
        info.m_level = c.level;
        info.m_bufferSize = Chunk;
        info.m_replaceIndex = replaceIndex;
        EXPECT_TRUE(zip.AddNewFile(info));
        zip.SetCallback(nullptr);
        EXPECT_EQ(zip.LastFileChangedSize(), c.change != Change::None);
        return ReadFileBytes(path);
    }
    void AddSteady(CZipContainer& zip, const std::string& name)
    {
        WriteFileBytes(m_dir / name, Pattern(3000, 5));
        CZipAddInfo info;
        info.m_path = m_dir / name;
        ASSERT_TRUE(zip.AddNewFile(info));
        EXPECT_FALSE(zip.LastFileChangedSize());
    }
    void CheckArchive(const std::string& archive, const std::string& expected)
    {
        CZipContainer zip;
        ASSERT_TRUE(zip.Open(archive, CZipContainer::ArcOpenReadOnly));
        if (GetParam().encrypted) {
            ASSERT_TRUE(zip.SetPassword(Password));
        }
        ASSERT_EQ(zip.GetCount(), 3u);
        const int index = zip.FindFile("f");
        ASSERT_GE(index, 0);
        EXPECT_EQ(ReadEntry(zip, index), expected);
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(zip.TestFile(i)) << i;
        zip.Close();
        if (UnzipAvailable()) {
            std::string out;
            const std::string pw = GetParam().encrypted ? std::string(" -P ") + Password : "";
            EXPECT_EQ(RunCommand("unzip -t" + pw + " '" + archive + "'", &out), 0) << out;
        }
    }
};

} // namespace

TEST_P(ZipChangingFile, AppendedEntryHoldsEverythingRead)
{
    const ChangeCase& c = GetParam();
    const std::string archive = m_dir / "a.zip";
    CZipContainer zip;
    ASSERT_TRUE(zip.Open(archive, CZipContainer::ArcCreate));
    if (c.encrypted) {
        ASSERT_TRUE(zip.SetPassword(Password));
    }
    AddSteady(zip, "before");
    const std::string final = AddChanging(zip, c);
    AddSteady(zip, "after");
    zip.Close();
    CheckArchive(archive, final);
}

TEST_P(ZipChangingFile, ReplacementIsWhatFitsItsRoomOrWhatTheTrialRead)
{
    const ChangeCase& c = GetParam();
    const std::string archive = m_dir / "a.zip";
    CZipContainer zip;
    ASSERT_TRUE(zip.Open(archive, CZipContainer::ArcCreate));
    if (c.encrypted) {
        ASSERT_TRUE(zip.SetPassword(Password));
    }
    AddSteady(zip, "before");
    WriteFileBytes(m_dir / "f", "old");
    CZipAddInfo old;
    old.m_path = m_dir / "f";
    ASSERT_TRUE(zip.AddNewFile(old));
    AddSteady(zip, "after");
    // Stored, the room is made for the size seen at the start and no more goes
    // in; compressed, the file goes through a trial archive read to its end.
    const std::string final = AddChanging(zip, c, 1);
    zip.Close();
    CheckArchive(archive, c.level == 0 ? final.substr(0, Planned) : final);
}

INSTANTIATE_TEST_SUITE_P(Changes, ZipChangingFile,
                         ::testing::Values(ChangeCase{"steady", 6, false, Change::None},
                                           ChangeCase{"grows", 6, false, Change::Grow},
                                           ChangeCase{"shrinks", 6, false, Change::Shrink},
                                           ChangeCase{"storedGrows", 0, false, Change::Grow},
                                           ChangeCase{"storedShrinks", 0, false, Change::Shrink},
                                           ChangeCase{"encryptedGrows", 6, true, Change::Grow},
                                           ChangeCase{"encryptedShrinks", 0, true, Change::Shrink},
                                           ChangeCase{"encryptedStoredGrows", 0, true,
                                                      Change::Grow}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TempDirTest, AnEmptyFileThatFillsUpIsNeverStoredUnencrypted)
{
    const std::string path = m_dir / "empty";
    WriteFileBytes(path, "");
    CZipContainer zip;
    ASSERT_TRUE(zip.Open(m_dir / "a.zip", CZipContainer::ArcCreate));
    ASSERT_TRUE(zip.SetPassword("secret"));
    CChangingCallback callback;
    callback.action = [&] { WriteFileBytes(path, "confidential text"); };
    zip.SetCallback(&callback);
    CZipAddInfo info;
    info.m_path = path;
    ASSERT_TRUE(zip.AddNewFile(info));
    EXPECT_TRUE(zip.LastFileChangedSize());
    zip.Close();
    EXPECT_EQ(ReadFileBytes(m_dir / "a.zip").find("confidential"), std::string::npos);
    ASSERT_TRUE(zip.Open(m_dir / "a.zip", CZipContainer::ArcOpenReadOnly));
    EXPECT_EQ(zip.GetDirectory()[0].m_uncompressedSize, 0u);
    EXPECT_FALSE(zip.GetDirectory()[0].IsEncrypted());
    EXPECT_TRUE(zip.TestFile(0));
}

TEST_F(TempDirTest, ChangeInsideATrialCompressionIsReported)
{
    // A compressed replacement goes through a trial archive first.
    const std::string path = m_dir / "f";
    WriteFileBytes(path, Pattern(Planned, 4));
    CZipContainer zip;
    ASSERT_TRUE(zip.Open(m_dir / "a.zip", CZipContainer::ArcCreate));
    CZipAddInfo info;
    for (const char* name : {"g", "h"}) {
        WriteFileBytes(m_dir / name, Pattern(Planned, 4));
        info.m_path = m_dir / name;
        ASSERT_TRUE(zip.AddNewFile(info));
    }
    CChangingCallback callback;
    callback.action = [&] { ApplyChange(path, Change::Shrink); };
    zip.SetCallback(&callback);
    info.m_path = path;
    info.m_bufferSize = Chunk;
    info.m_replaceIndex = 0;
    ASSERT_TRUE(zip.AddNewFile(info));
    EXPECT_TRUE(zip.LastFileChangedSize());
    zip.SetCallback(nullptr);
    zip.Close();
    ASSERT_TRUE(zip.Open(m_dir / "a.zip", CZipContainer::ArcOpenReadOnly));
    EXPECT_EQ(ReadEntry(zip, 0), Pattern(Planned, 4).substr(0, 1500));
    if (UnzipAvailable()) {
        EXPECT_TRUE(UnzipTests(m_dir / "a.zip"));
    }
}

TEST_F(TempDirTest, SpannedArchivesCarryTheSizesReadInTheirDescriptors)
{
    for (int smart : {CZipAddInfo::DefaultSmartFlags,
                      CZipAddInfo::DefaultSmartFlags | CZipAddInfo::SmartCheckGain}) {
        SCOPED_TRACE(smart);
        const std::string path = m_dir / "f";
        const std::string archive = m_dir / ("span" + std::to_string(smart) + ".tbm");
        WriteFileBytes(path, Pattern(Planned, 4));
        CZipContainer zip;
        ASSERT_TRUE(zip.Open(archive, CZipContainer::ArcCreateSpanned, 4000));
        CChangingCallback callback;
        callback.action = [&] { ApplyChange(path, Change::Grow); };
        zip.SetCallback(&callback);
        CZipAddInfo info;
        info.m_path = path;
        info.m_bufferSize = Chunk;
        info.m_smartFlags = smart;
        ASSERT_TRUE(zip.AddNewFile(info));
        EXPECT_TRUE(zip.LastFileChangedSize());
        zip.SetCallback(nullptr);
        zip.Close();
        ASSERT_TRUE(zip.Open(archive, CZipContainer::ArcOpenReadOnly));
        ASSERT_EQ(zip.GetCount(), 1u);
        EXPECT_EQ(ReadEntry(zip, 0), ReadFileBytes(path));
        EXPECT_TRUE(zip.TestFile(0));
        zip.Close();
    }
}
