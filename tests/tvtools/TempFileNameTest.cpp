#include "ModulePath.h"
#include "TempFileName.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <set>

using tbmtest::TempDirTest;

class TempFileNameTest : public TempDirTest
{
};

namespace {

// prefix, one to four upper-case hexadecimal digits, ".tmp"
bool IsTempName(const std::string& name, const std::string& prefix)
{
    if (name.compare(0, prefix.size(), prefix) != 0 || name.size() < prefix.size() + 5)
        return false;
    const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - 4);
    return digits.size() <= 4 && digits.find_first_not_of("0123456789ABCDEF") == std::string::npos &&
           name.substr(name.size() - 4) == ".tmp";
}

} // namespace

TEST_F(TempFileNameTest, NamesArePrefixHexAndTmpAndFilesAreNewAndPrivate)
{
    std::set<std::string> names;
    for (int i = 0; i < 50; ++i) {
        const std::string path = TvCreateTempFileName(m_dir.Str(), "LOGFILE");
        ASSERT_FALSE(path.empty());
        const std::string name = path.substr(path.rfind('/') + 1);
        EXPECT_TRUE(IsTempName(name, "LOG")) << name;
        struct stat st {};
        ASSERT_EQ(0, stat(path.c_str(), &st));
        EXPECT_EQ(0, st.st_size);
        EXPECT_EQ(0600u, st.st_mode & 0777);
        EXPECT_TRUE(names.insert(path).second) << "name handed out twice: " << path;
    }
}

TEST_F(TempFileNameTest, MissingFolderGivesEmptyName)
{
    EXPECT_EQ("", TvCreateTempFileName(m_dir / "missing", "OL3"));
}

TEST(TempPathTest, FollowsTmpdir)
{
    const std::string saved = TvGetTempPath();
    setenv("TMPDIR", "/some/where", 1);
    EXPECT_EQ("/some/where", TvGetTempPath());
    setenv("TMPDIR", "", 1);
    EXPECT_EQ("/tmp", TvGetTempPath());
    setenv("TMPDIR", saved.c_str(), 1);
}

TEST(ModulePathTest, FolderHoldsTheRunningProgram)
{
    const std::string file = TvGetModuleFileName();
    const std::string folder = TvGetModuleFolder();
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(folder + "/" + file.substr(folder.size() + 1), file);
    EXPECT_EQ(std::string::npos, file.substr(folder.size() + 1).find('/'));
}
