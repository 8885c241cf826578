#include "NamedMutex.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using tbmtest::TempDirTest;

namespace fs = std::filesystem;

namespace {

// Reads, bumps and writes back a number in a file: two writers without mutual
// exclusion lose updates.
void BumpCounter(const std::string& path)
{
    long value = 0;
    {
        std::ifstream in(path);
        in >> value;
    }
    std::this_thread::yield();
    std::ofstream out(path, std::ios::trunc);
    out << value + 1;
}

long ReadCounter(const std::string& path)
{
    long value = 0;
    std::ifstream in(path);
    in >> value;
    return value;
}

void BumpUnderMutex(const std::string& name, const std::string& counter, int times)
{
    CNamedMutex mutex(name);
    for (int i = 0; i < times; ++i) {
        std::lock_guard<CNamedMutex> guard(mutex);
        BumpCounter(counter);
    }
}

} // namespace

class NamedMutexTest : public TempDirTest
{
protected:
    std::string m_counter = m_dir / "counter";
};

TEST_F(NamedMutexTest, LockFileLivesInTheRuntimeFolder)
{
    CNamedMutex mutex("Tovan_TestMutex");
    EXPECT_EQ(std::string(std::getenv("XDG_RUNTIME_DIR")) + "/Tovan_TestMutex.lock",
              mutex.GetLockPath());
    EXPECT_TRUE(mutex.Lock());
    mutex.Unlock();
    EXPECT_TRUE(fs::exists(mutex.GetLockPath()));
}

TEST_F(NamedMutexTest, WithoutRuntimeFolderTheTemporaryFolderHoldsAPerUserFile)
{
    const std::string runtime = std::getenv("XDG_RUNTIME_DIR");
    unsetenv("XDG_RUNTIME_DIR");
    CNamedMutex mutex("Tovan_TestMutex");
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    const std::string expected = std::string(std::getenv("TMPDIR")) + "/Tovan_TestMutex." +
                                 std::to_string(geteuid()) + ".lock";
    EXPECT_EQ(expected, mutex.GetLockPath());
}

TEST_F(NamedMutexTest, LinkedLockFileIsRefusedButThreadsAreStillSerialised)
{
    const std::string runtime = std::getenv("XDG_RUNTIME_DIR");
    fs::create_symlink(m_dir / "elsewhere", runtime + "/Tovan_LinkedMutex.lock");
    CNamedMutex mutex("Tovan_LinkedMutex");
    EXPECT_EQ("", mutex.GetLockPath());
    EXPECT_FALSE(fs::exists(m_dir / "elsewhere"));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 100; ++i) {
                std::lock_guard<CNamedMutex> guard(mutex);
                BumpCounter(m_counter);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(400, ReadCounter(m_counter));
}

TEST_F(NamedMutexTest, ThreadsWithOneOrSeveralObjectsOfTheNameExcludeEachOther)
{
    CNamedMutex shared("Tovan_TestMutex");
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 100; ++i) {
                std::lock_guard<CNamedMutex> guard(shared);
                BumpCounter(m_counter);
            }
        });
        threads.emplace_back([&] { BumpUnderMutex("Tovan_TestMutex", m_counter, 100); });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(400, ReadCounter(m_counter));
}

TEST_F(NamedMutexTest, ProcessesExcludeEachOtherEvenAfterFork)
{
    // Made before the fork, so the children inherit its open lock file.
    CNamedMutex inherited("Tovan_TestMutex");
    constexpr int kChildren = 3;
    std::vector<pid_t> children;
    for (int c = 0; c < kChildren; ++c) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0; i < 150; ++i) {
                std::lock_guard<CNamedMutex> guard(inherited);
                BumpCounter(m_counter);
            }
            _exit(0);
        }
        children.push_back(child);
    }
    BumpUnderMutex("Tovan_TestMutex", m_counter, 150);
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(150 * (kChildren + 1), ReadCounter(m_counter));
}
