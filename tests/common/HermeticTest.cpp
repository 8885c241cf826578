#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool IsBelowTestRoot(const std::string& path)
{
    const std::string& root = tbmtest::TestRoot();
    return !root.empty() && path.compare(0, root.size() + 1, root + "/") == 0;
}

} // namespace

// Every folder a test could write user data to points into the test's own root.
TEST(HermeticEnvironmentTest, UserFoldersAndRegistryAreTheTestsOwn)
{
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                             "XDG_STATE_HOME", "XDG_RUNTIME_DIR", "TMPDIR", "TBM_REGISTRY"})
        EXPECT_TRUE(IsBelowTestRoot(Env(name))) << name << "=" << Env(name);
    if (const passwd* pw = getpwuid(getuid())) {
        EXPECT_NE(std::string(pw->pw_dir), Env("HOME"));
    }
}
