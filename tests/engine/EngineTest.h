#pragma once

// The fixture of the engine tests: the text library loaded, a fixed clock, a fresh
// current job with a private work folder of its own, and no saved jobs, reports or
// output folder left over from an earlier test.
#include "EngineClock.h"
#include "EngineFolders.h"
#include "ProjectData.h"
#include "TempDir.h"

#include "FolderTools.h"
#include "Globals.h"
#include "Preferences.h"
#include "ResourceLibrary.h"
#include "TempFileName.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace enginetest {

using Bytes = std::vector<std::uint8_t>;

// 2024-03-05 14:07:00 UTC; the tests run with TZ=UTC.
inline constexpr std::time_t kFixedNow = 1709647620;

inline void RemoveTree(const std::string& folder)
{
    tbm::DeleteFolderTree(folder);
    rmdir(folder.c_str());
}

class EngineTest : public tbmtest::TempDirTest
{
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
        if (!TextResources().IsLoaded())
            TextResources().Load(g_Globals.GetProgramPath(kTextResFileName));
        CEngineClock::Set([] { return kFixedNow; });
        g_Preferences.m_strTempLevel.clear();
        g_ProjectData = CProjectData();
        m_workFolder = tbm::CreateTempFolder({});
        ASSERT_FALSE(m_workFolder.empty());
        g_ProjectData.SetWorkFolderPath(m_workFolder);
    }

    void TearDown() override
    {
        CEngineClock::Set({});
        RemoveTree(m_workFolder);
        RemoveTree(CEngineFolders::GetAppDataFolder());
        RemoveTree(CEngineFolders::GetDefaultOutputFolder());
        g_ProjectData = CProjectData();
    }

    std::string m_workFolder;
};

inline void Append(Bytes& bytes, const Bytes& more)
{
    bytes.insert(bytes.end(), more.begin(), more.end());
}

inline void AppendU16(Bytes& bytes, std::uint16_t value)
{
    Append(bytes, {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)});
}

inline void AppendU32(Bytes& bytes, std::uint32_t value)
{
    AppendU16(bytes, static_cast<std::uint16_t>(value));
    AppendU16(bytes, static_cast<std::uint16_t>(value >> 16));
}

// A string with the short (one-byte) length prefix.
inline void AppendShortString(Bytes& bytes, const std::string& text)
{
    bytes.push_back(static_cast<std::uint8_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
}

inline void AppendNewClass(Bytes& bytes, const std::string& name, std::uint16_t schema = 0)
{
    Append(bytes, {0xFF, 0xFF});
    AppendU16(bytes, schema);
    AppendU16(bytes, static_cast<std::uint16_t>(name.size()));
    bytes.insert(bytes.end(), name.begin(), name.end());
}

inline Bytes ToBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

inline std::string ToText(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

inline mode_t ModeOf(const std::string& path)
{
    struct stat st
    {
    };
    return lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

} // namespace enginetest
