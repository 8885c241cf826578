#pragma once

#include "RegApi.h"
#include "RegContentCompare.h"
#include "RegOperation.h"
#include "RegStoreAccess.h"
#include "RegistryStore.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

// Gives every test a registry file of its own (children started by the test use it
// too) and helpers to fill and read it.
class RegeditFixture : public tbmtest::TempDirTest
{
protected:
    void SetUp() override
    {
        const char* saved = std::getenv("TBM_REGISTRY");
        m_saved = saved ? saved : "";
        UseRegistry(m_dir / "registry.sqlite");
    }

    void TearDown() override
    {
        setenv("TBM_REGISTRY", m_saved.c_str(), 1);
        CRegistryStore::Reset();
    }

    static void UseRegistry(const std::string& path)
    {
        setenv("TBM_REGISTRY", path.c_str(), 1);
        CRegistryStore::Reset();
    }

    static void SetValue(const std::string& path, const std::string& name, DWORD type,
                         const std::string& bytes, HKEY root = HKEY_CURRENT_USER)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, TvRegCreateKeyEx(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                  nullptr, &key, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, TvRegSetValueEx(key, name.c_str(), 0, type,
                                                 reinterpret_cast<const BYTE*>(bytes.data()),
                                                 static_cast<DWORD>(bytes.size())));
        TvRegCloseKey(key);
    }

    static void SetText(const std::string& path, const std::string& name, const std::string& text)
    {
        SetValue(path, name, REG_SZ, text + std::string(1, '\0'));
    }

    static void CreateKey(const std::string& path, HKEY root = HKEY_CURRENT_USER)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, TvRegCreateKeyEx(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                  nullptr, &key, nullptr));
        TvRegCloseKey(key);
    }

    static bool KeyExists(const std::string& path, HKEY root = HKEY_CURRENT_USER)
    {
        HKEY key = nullptr;
        if (TvRegOpenKeyEx(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        TvRegCloseKey(key);
        return true;
    }

    // The value's type and bytes as "type:bytes", or "missing".
    static std::string GetValue(const std::string& path, const std::string& name,
                                HKEY root = HKEY_CURRENT_USER)
    {
        HKEY key = nullptr;
        if (TvRegOpenKeyEx(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "missing";
        DWORD type = 0;
        DWORD size = 0;
        std::string bytes;
        LONG result = TvRegQueryValueEx(key, name.c_str(), nullptr, &type, nullptr, &size);
        if (result == ERROR_SUCCESS) {
            bytes.resize(size);
            result = TvRegQueryValueEx(key, name.c_str(), nullptr, &type,
                                       reinterpret_cast<BYTE*>(bytes.data()), &size);
        }
        TvRegCloseKey(key);
        return result == ERROR_SUCCESS ? std::to_string(type) + ":" + bytes : "missing";
    }

    // Everything below a root, for comparing two registries.
    static std::vector<TvRegKeyContent> Dump(HKEY root = HKEY_CURRENT_USER)
    {
        std::vector<TvRegKeyContent> keys;
        EXPECT_EQ(ERROR_SUCCESS, CRegStoreAccess::ReadTree(root, "", keys));
        return keys;
    }

private:
    std::string m_saved;
};

// Little-endian bytes of a UTF-16 literal, with the byte-order mark when asked.
inline std::string Utf16Bytes(std::u16string_view text, bool bom = false)
{
    std::string out = bom ? "\xFF\xFE" : "";
    for (const char16_t unit : text) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    return out;
}
