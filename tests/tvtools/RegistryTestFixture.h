#pragma once

#include "RegApi.h"
#include "RegistryStore.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// Gives every test a registry file of its own in its temporary folder, and puts the
// process's registry back where it was afterwards.
class RegistryFixture : public tbmtest::TempDirTest
{
protected:
    void SetUp() override
    {
        const char* saved = std::getenv("TBM_REGISTRY");
        m_saved = saved ? saved : "";
        UseRegistryFile(m_dir / "registry.sqlite");
    }

    void TearDown() override
    {
        setenv("TBM_REGISTRY", m_saved.c_str(), 1);
        CRegistryStore::Reset();
    }

    static void UseRegistryFile(const std::string& path)
    {
        setenv("TBM_REGISTRY", path.c_str(), 1);
        CRegistryStore::Reset();
    }

    // Creates (or opens) a key below HKEY_CURRENT_USER with full access.
    static HKEY CreateKey(const char* path, HKEY root = HKEY_CURRENT_USER)
    {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, TvRegCreateKeyEx(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                  KEY_ALL_ACCESS, nullptr, &key, nullptr))
            << path;
        return key;
    }

    static LONG OpenKey(const char* path, HKEY& key, REGSAM access = KEY_ALL_ACCESS)
    {
        return TvRegOpenKeyEx(HKEY_CURRENT_USER, path, 0, access, &key);
    }

    static LONG SetText(HKEY key, const char* name, const std::string& text)
    {
        return TvRegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>(text.size() + 1));
    }

    // The text of a REG_SZ value, or "<error N>".
    static std::string GetText(HKEY key, const char* name)
    {
        char buffer[1024] = {};
        DWORD size = sizeof buffer - 1;
        const LONG result =
            TvRegQueryValueEx(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
        if (result != ERROR_SUCCESS)
            return "<error " + std::to_string(result) + ">";
        return std::string(buffer);
    }

private:
    std::string m_saved;
};
