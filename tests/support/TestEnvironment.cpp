#include "TestEnvironment.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace tbmtest {
namespace {

std::string g_root;

std::string MakeRoot()
{
    const char* base = std::getenv("TBM_TEST_TMP");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tbm-test-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create the test root folder");
    return pattern;
}

void SetPath(const char* name, const fs::path& path)
{
    fs::create_directories(path);
    setenv(name, path.c_str(), 1);
}

} // namespace

const std::string& TestRoot()
{
    return g_root;
}

void SetUpHermeticEnvironment()
{
    g_root = MakeRoot();
    const fs::path root(g_root);
    const fs::path home = root / "home";
    SetPath("HOME", home);
    SetPath("XDG_CONFIG_HOME", home / ".config");
    SetPath("XDG_DATA_HOME", home / ".local/share");
    SetPath("XDG_CACHE_HOME", home / ".cache");
    SetPath("XDG_STATE_HOME", home / ".local/state");
    SetPath("XDG_RUNTIME_DIR", root / "run");
    fs::permissions(root / "run", fs::perms::owner_all);
    SetPath("TMPDIR", root / "tmp");
    setenv("TBM_REGISTRY", (root / "registry.sqlite").c_str(), 1);
    // Child processes and the XDG layer must not fall back to system-wide folders.
    setenv("XDG_CONFIG_DIRS", (root / "etc-xdg").c_str(), 1);
    setenv("XDG_DATA_DIRS", (root / "usr-share").c_str(), 1);
    unsetenv("TBM_LOG");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
}

void TearDownHermeticEnvironment(bool keep)
{
    if (g_root.empty())
        return;
    if (keep) {
        std::fprintf(stderr, "test files kept in %s\n", g_root.c_str());
        return;
    }
    std::error_code ec;
    fs::remove_all(g_root, ec);
}

} // namespace tbmtest
