#include "Registry.h"

#include "ModulePath.h"
#include "RegistryTestFixture.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

constexpr int kValuesPerWriter = 400;
const char* const kWriters[] = {"Alpha", "Beta"};

pid_t StartWriter(const std::string& name, int values)
{
    const std::string program = TvGetModuleFolder() + "/tbm_registry_writer";
    const std::string count = std::to_string(values);
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
protected:
    // Starts one writer process per name, all at once, and waits for them.
    static void RunWriters(int count)
    {
        std::vector<pid_t> children;
        for (const char* name : kWriters) {
            children.push_back(StartWriter(name, count));
            ASSERT_GT(children.back(), 0) << "cannot start the writer";
        }
        for (pid_t child : children)
            EXPECT_EQ(0, WaitForExit(child));
    }

    // Every value that every writer wrote is there, with its data.
    static void ExpectAllValues(int count)
    {
        CRegistryStore::Reset();
        CRegistry reg(HKEY_CURRENT_USER);
        for (const std::string name : kWriters) {
            ASSERT_TRUE(reg.Open(HKEY_CURRENT_USER, "Software\\Writers\\" + name, KEY_READ));
            for (int i = 0; i < count; ++i) {
                std::string text;
                ASSERT_TRUE(reg.Read("V" + std::to_string(i), text)) << name << " " << i;
                EXPECT_EQ(name + "-" + std::to_string(i), text);
            }
            for (int i = 0; i < count; ++i) {
                const std::string shared = "Software\\Shared\\K" + std::to_string(i % 10);
                ASSERT_TRUE(reg.Open(HKEY_CURRENT_USER, shared, KEY_READ));
                std::int32_t value = -1;
                ASSERT_TRUE(reg.Read(name + "-" + std::to_string(i), value)) << name << " " << i;
                EXPECT_EQ(i, value);
            }
        }
        std::vector<std::string> shared;
        ASSERT_TRUE(reg.Open(HKEY_CURRENT_USER, "Software\\Shared", KEY_READ));
        EXPECT_TRUE(reg.EnumKeys(shared));
        EXPECT_EQ(std::min(count, 10), static_cast<int>(shared.size()));
    }
};

// Two processes write at once, into keys of their own and into the same keys, while
// a third (this one) has the file open, as the GUI would beside a scheduled run.
TEST_F(RegistryConcurrencyTest, TwoProcessesWritingAtOnceLoseNothing)
{
    CRegistry parent(HKEY_CURRENT_USER);
    ASSERT_TRUE(parent.CreateKey(HKEY_CURRENT_USER, "Software\\Shared"));
    ASSERT_TRUE(parent.Write("Parent", std::int32_t{1}));
    RunWriters(kValuesPerWriter);
    ExpectAllValues(kValuesPerWriter);
}

// Both processes find no file yet: one lays it out, the other waits for it.
TEST_F(RegistryConcurrencyTest, TwoProcessesCreatingTheFileAtOnce)
{
    UseRegistryFile(m_dir / "fresh/registry.sqlite");
    RunWriters(20);
    ExpectAllValues(20);
}

// Threads of one process share the store; its lock keeps their calls apart.
TEST_F(RegistryConcurrencyTest, ThreadsOfOneProcessLoseNothing)
{
    constexpr int kThreads = 4;
    constexpr int kValues = 100;
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &failures] {
            CRegistry reg(HKEY_CURRENT_USER);
            for (int i = 0; i < kValues; ++i) {
                if (!reg.CreateKey(HKEY_CURRENT_USER, "Software\\Threads\\K" + std::to_string(i)) ||
                    !reg.Write("T" + std::to_string(t), std::int32_t{i}))
                    ++failures;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(0, failures.load());
    CRegistry reg(HKEY_CURRENT_USER);
    for (int i = 0; i < kValues; ++i) {
        ASSERT_TRUE(
            reg.Open(HKEY_CURRENT_USER, "Software\\Threads\\K" + std::to_string(i), KEY_READ));
        for (int t = 0; t < kThreads; ++t) {
            std::int32_t value = -1;
            EXPECT_TRUE(reg.Read("T" + std::to_string(t), value));
            EXPECT_EQ(i, value);
        }
    }
}
