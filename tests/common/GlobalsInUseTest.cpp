#include "Globals.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class FileInUseTest : public tbmtest::TempDirTest
{
protected:
    void SetUp() override { tbmtest::WriteFileBytes(m_path, "data"); }
    const std::string m_path = m_dir / "file.dat";
    CGlobals m_globals;
};

// Holds a record lock on the file in a child process until told to end.
class CLockingChild
{
public:
    explicit CLockingChild(const std::string& path)
    {
        int ready[2];
        int quit[2];
        if (pipe2(ready, O_CLOEXEC) != 0 || pipe2(quit, O_CLOEXEC) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            close(ready[0]);
            close(quit[1]); // else the child never sees the end of `quit`
            HoldLock(path.c_str(), ready[1], quit[0]);
        }
        close(ready[1]);
        close(quit[0]);
        char byte = 0;
        m_locked = read(ready[0], &byte, 1) == 1 && byte == 'L';
        close(ready[0]);
        m_quit = quit[1];
    }
    ~CLockingChild()
    {
        if (m_pid <= 0)
            return;
        close(m_quit);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
    CLockingChild(const CLockingChild&) = delete;
    CLockingChild& operator=(const CLockingChild&) = delete;
    bool Locked() const { return m_locked; }

private:
    // Only async-signal-safe calls: the child of a threaded process.
    [[noreturn]] static void HoldLock(const char* path, int ready, int quit)
    {
        const int fd = open(path, O_RDWR);
        struct flock lock
        {
        };
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        const char answer = fd >= 0 && fcntl(fd, F_SETLK, &lock) == 0 ? 'L' : 'E';
        if (write(ready, &answer, 1) != 1)
            _exit(1);
        char byte;
        while (read(quit, &byte, 1) > 0) {
        }
        _exit(0);
    }

    pid_t m_pid = -1;
    int m_quit = -1;
    bool m_locked = false;
};

TEST_F(FileInUseTest, FreeOrMissingFileIsNotInUse)
{
    EXPECT_FALSE(m_globals.IsFileInUse(m_path));
    EXPECT_FALSE(m_globals.IsFileInUse(m_dir / "missing"));
}

TEST_F(FileInUseTest, RecordLockOfAnotherProcessMeansInUse)
{
    {
        CLockingChild child(m_path);
        ASSERT_TRUE(child.Locked());
        EXPECT_TRUE(m_globals.IsFileInUse(m_path));
    }
    EXPECT_FALSE(m_globals.IsFileInUse(m_path));
}

TEST_F(FileInUseTest, FlockHeldThroughAnotherHandleMeansInUse)
{
    const int fd = open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(0, flock(fd, LOCK_SH));
    EXPECT_TRUE(m_globals.IsFileInUse(m_path));
    flock(fd, LOCK_UN);
    EXPECT_FALSE(m_globals.IsFileInUse(m_path));
    close(fd);
}

} // namespace
