#pragma once

#include <mutex>
#include <string>

// A mutex shared by every process of the user that opens the same name: an exclusive
// flock on the file "<name>.lock" in $XDG_RUNTIME_DIR (or, without one, in the
// temporary folder). flock does not serialise threads that share one open file, so a
// process-local mutex is taken first. Satisfies BasicLockable (lock/unlock), so it
// works with std::lock_guard.
class CNamedMutex
{
public:
    explicit CNamedMutex(const std::string& name);
    ~CNamedMutex();
    CNamedMutex(const CNamedMutex&) = delete;
    CNamedMutex& operator=(const CNamedMutex&) = delete;

    // Waits without time limit. Returns false when only the process-local part could
    // be taken (the lock file could not be opened or locked); the caller still holds
    // the mutex then and must unlock it.
    bool Lock();
    void Unlock();

    void lock() { Lock(); }
    void unlock() { Unlock(); }

    // Path of the lock file; empty when none could be opened.
    const std::string& GetLockPath() const { return m_lockPath; }

private:
    void Open();

    std::string m_name;
    std::mutex m_local;
    int m_pid = 0;
    int m_fd = -1;
    bool m_fileLocked = false;
    std::string m_lockPath;
};
