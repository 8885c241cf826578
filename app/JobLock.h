#pragma once

#include <string>

// Keeps two processes (two windows, or a window and a scheduled run) from running
// the same job at once: they would write the same backup file and job folder. A lock
// on a file in the job's folder, held while the job runs and freed by the system
// when the process ends, however it ends.
class CJobLock
{
public:
    static constexpr const char* kFileName = ".running.lock";

    CJobLock() = default;
    ~CJobLock() { Release(); }
    CJobLock(const CJobLock&) = delete;
    CJobLock& operator=(const CJobLock&) = delete;

    // Takes the lock of the job folder (made when missing); false when another
    // process holds it or the folder cannot be used.
    bool Acquire(const std::string& jobFolder);
    void Release();
    bool IsHeld() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
