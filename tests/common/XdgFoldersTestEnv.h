#pragma once

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace tbmtest {

// Points HOME and the XDG variables at folders of this test (only HOME exists at
// first) and puts the previous values back afterwards.
class XdgFoldersTestBase : public TempDirTest
{
protected:
    XdgFoldersTestBase()
    {
        std::filesystem::create_directories(m_dir.Path() / "home");
        Set("HOME", Home());
        Set("XDG_CONFIG_HOME", Config());
        Set("XDG_DATA_HOME", Data());
        Set("XDG_CACHE_HOME", m_dir / "cache");
        Set("XDG_CONFIG_DIRS", m_dir / "etc-xdg" + ":/etc/xdg");
    }
    ~XdgFoldersTestBase() override
    {
        for (const auto& [name, value] : m_saved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

    void Set(const std::string& name, const std::string& value)
    {
        if (!m_saved.count(name)) {
            const char* old = std::getenv(name.c_str());
            m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        setenv(name.c_str(), value.c_str(), 1);
    }

    std::string Home() const { return m_dir / "home"; }
    std::string Config() const { return m_dir / "config"; }
    std::string Data() const { return m_dir / "data"; }

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

} // namespace tbmtest
