#include "StatusLogStartup.h"
#include "WriteLog.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/utsname.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

using tbmtest::Lines;
using tbmtest::ReadFileBytes;
using tbmtest::TempDirTest;

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> Entries(const fs::path& folder)
{
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(folder))
        entries.push_back(entry.path());
    return entries;
}

// "LOG", upper-case hexadecimal digits, "_.log".
bool IsLogFileName(const std::string& name)
{
    const std::string head = "LOG";
    const std::string tail = "_.log";
    if (name.size() <= head.size() + tail.size() || name.rfind(head, 0) != 0 ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    for (std::size_t i = head.size(); i < name.size() - tail.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(name[i])) || std::islower(name[i]))
            return false;
    }
    return true;
}

std::string KernelNumber(int index)
{
    utsname system{};
    uname(&system);
    std::string release = system.release;
    for (int i = 0; i < index; ++i)
        release = release.substr(release.find('.') + 1);
    return std::to_string(std::atoi(release.c_str()));
}

} // namespace

class StatusLogStartupTest : public TempDirTest
{
protected:
    void TearDown() override
    {
        unsetenv("TBM_LOG");
        g_StatusLog.InitFullPath("");
    }
};

TEST_F(StatusLogStartupTest, LogIsOffAsDeliveredAndLeavesNoFile)
{
    for (const char* value : {static_cast<const char*>(nullptr), "", "0"}) {
        if (value)
            setenv("TBM_LOG", value, 1);
        StartStatusLog(m_dir.Str());
        WriteLog("not written");
        EXPECT_TRUE(g_StatusLog.StatusOut("disabled counts as success"));
        EXPECT_TRUE(Entries(m_dir.Path()).empty()) << (value ? value : "unset");
    }
}

TEST_F(StatusLogStartupTest, SwitchedOnTheBannerGoesToALogFileInTheProgramFolder)
{
    setenv("TBM_LOG", "1", 1);
    StartStatusLog(m_dir.Str());
    const auto entries = Entries(m_dir.Path());
    ASSERT_EQ(1u, entries.size());
    EXPECT_TRUE(IsLogFileName(entries[0].filename().string())) << entries[0];

    const std::string rule(55, '-');
    const std::vector<std::string> banner = {
        "Start The Application",
        "Tovan Backup Manager Version 1.1",
        "https://tovan-backup.example.org",
        "Platform ID : 2",
        "Platform Major Version : " + KernelNumber(0),
        "Platform Minor Version : " + KernelNumber(1),
        "Platform Build Number : " + KernelNumber(2),
        rule,
        "Application Version Number : 1000",
        "Application Build Number : 1000",
        "Any Error or up normal behavior please send this log file to "
        "support@tovan-backup.example.org",
        rule};
    const auto lines = Lines(ReadFileBytes(entries[0].string()));
    ASSERT_EQ(banner.size(), lines.size());
    // "<program> : <MM/DD/YYYY HH:MM:SS> : <text>"
    const std::string program = "common_tests : ";
    for (std::size_t i = 0; i < banner.size(); ++i) {
        ASSERT_EQ(program.size() + 19 + 3 + banner[i].size(), lines[i].size()) << lines[i];
        EXPECT_EQ(program, lines[i].substr(0, program.size()));
        EXPECT_EQ(" : " + banner[i], lines[i].substr(program.size() + 19));
    }
}

TEST_F(StatusLogStartupTest, AnotherFolderCanHoldTheLog)
{
    tbmtest::TempDir other;
    setenv("TBM_LOG", other.Str().c_str(), 1);
    StartStatusLog(m_dir.Str());
    EXPECT_TRUE(Entries(m_dir.Path()).empty());
    const auto entries = Entries(other.Path());
    ASSERT_EQ(1u, entries.size());
    EXPECT_TRUE(IsLogFileName(entries[0].filename().string())) << entries[0];
}

TEST_F(StatusLogStartupTest, UnusableFolderMeansNoLog)
{
    setenv("TBM_LOG", "1", 1);
    StartStatusLog(m_dir / "missing");
    WriteLog("nowhere");
    EXPECT_FALSE(fs::exists(m_dir / "missing"));
    EXPECT_TRUE(Entries(m_dir.Path()).empty());
}
