#pragma once

#include "RegApi.h"
#include "Registry.h"
#include "RegistryStore.h"
#include "WriteLog.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

// A registry file of the test's own (the regedit started by the test uses it too) and
// the status log written to a file of the test's own, so its lines can be checked.
class SourcesFixture : public tbmtest::TempDirTest
{
protected:
    void SetUp() override
    {
        const char* saved = std::getenv("TBM_REGISTRY");
        m_savedRegistry = saved ? saved : "";
        UseRegistry(m_dir / "registry.sqlite");
        g_StatusLog.InitFullPath(m_log);
        g_StatusLog.PrintAppName(false);
        g_StatusLog.PrintTime(false);
    }

    void TearDown() override
    {
        g_StatusLog.InitFullPath("");
        setenv("TBM_REGISTRY", m_savedRegistry.c_str(), 1);
        CRegistryStore::Reset();
    }

    static void UseRegistry(const std::string& path)
    {
        setenv("TBM_REGISTRY", path.c_str(), 1);
        CRegistryStore::Reset();
    }

    std::vector<std::string> LogLines() const
    {
        return tbmtest::Lines(tbmtest::ReadFileBytes(m_log));
    }

    bool Logged(const std::string& line) const
    {
        for (const std::string& logged : LogLines())
            if (logged == line)
                return true;
        return false;
    }

    static void SetValue(const std::string& path, const std::string& name, DWORD type,
                         const std::string& bytes)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, TvRegCreateKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                                  KEY_ALL_ACCESS, nullptr, &key, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, TvRegSetValueEx(key, name.c_str(), 0, type,
                                                 reinterpret_cast<const BYTE*>(bytes.data()),
                                                 static_cast<DWORD>(bytes.size())));
        TvRegCloseKey(key);
    }

    static void SetText(const std::string& path, const std::string& name, const std::string& text)
    {
        SetValue(path, name, REG_SZ, text + std::string(1, '\0'));
    }

    static std::string GetText(const std::string& path, const std::string& name)
    {
        CRegistry registry(HKEY_CURRENT_USER);
        std::string text;
        if (!registry.Open(HKEY_CURRENT_USER, path, KEY_READ) || !registry.Read(name, text))
            return "<missing>";
        return text;
    }

    static bool KeyExists(const std::string& path)
    {
        CRegistry registry(HKEY_CURRENT_USER);
        return registry.VerifyKey(HKEY_CURRENT_USER, path, KEY_READ);
    }

    const std::string m_log = m_dir / "status.log";

private:
    std::string m_savedRegistry;
};
