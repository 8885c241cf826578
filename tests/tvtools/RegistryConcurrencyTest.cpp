#include "Registry.h"

#include "ModulePath.h"
#include "RegistryTestFixture.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kValuesPerWriter = 400;
const char* const kWriters[] = {"Alpha", "Beta"};

pid_t StartWriter(const std::string& name)
{
    const std::string program = TvGetModuleFolder() + "/tbm_registry_writer";
    const std::string count = std::to_string(kValuesPerWriter);
    std::vector<char*> argv = {const_cast<char*>(program.c_str()), const_cast<char*>(name.c_str()),
                               const_cast<char*>(count.c_str()), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

int WaitForExit(pid_t pid)
{
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

class RegistryConcurrencyTest : public RegistryFixture
{
};

// Two processes write at once, into keys of their own and into the same keys; every
// value of both must be there afterwards.
TEST_F(RegistryConcurrencyTest, TwoProcessesWritingAtOnceLoseNothing)
{
    // The parent has the file open too, as the GUI would beside a scheduled run.
    CRegistry parent(HKEY_CURRENT_USER);
    ASSERT_TRUE(parent.CreateKey(HKEY_CURRENT_USER, "Software\\Shared"));
    ASSERT_TRUE(parent.Write("Parent", std::int32_t{1}));

    std::vector<pid_t> children;
    for (const char* name : kWriters) {
        children.push_back(StartWriter(name));
        ASSERT_GT(children.back(), 0) << "cannot start the writer";
    }
    for (pid_t child : children)
        EXPECT_EQ(0, WaitForExit(child));

    CRegistryStore::Reset();
    CRegistry reg(HKEY_CURRENT_USER);
    for (const std::string name : kWriters) {
        ASSERT_TRUE(reg.Open(HKEY_CURRENT_USER, "Software\\Writers\\" + name, KEY_READ));
        for (int i = 0; i < kValuesPerWriter; ++i) {
            std::string text;
            ASSERT_TRUE(reg.Read("V" + std::to_string(i), text)) << name << " " << i;
            EXPECT_EQ(name + "-" + std::to_string(i), text);
        }
        for (int i = 0; i < kValuesPerWriter; ++i) {
            ASSERT_TRUE(reg.Open(HKEY_CURRENT_USER, "Software\\Shared\\K" + std::to_string(i % 10),
                                 KEY_READ));
            std::int32_t value = -1;
            ASSERT_TRUE(reg.Read(name + "-" + std::to_string(i), value)) << name << " " << i;
            EXPECT_EQ(i, value);
        }
    }
    std::vector<std::string> shared;
    ASSERT_TRUE(reg.Open(HKEY_CURRENT_USER, "Software\\Shared", KEY_READ));
    EXPECT_TRUE(reg.EnumKeys(shared));
    EXPECT_EQ(10u, shared.size());
}
