#pragma once

#include <spawn.h>

#include <csignal>

// The child starts with default signal handling and nothing blocked, whatever the
// calling thread has set up (a GUI that ignores SIGPIPE must not pass that on).
class CSpawnAttributes
{
public:
    CSpawnAttributes()
    {
        posix_spawnattr_init(&m_attr);
        sigset_t all;
        sigset_t none;
        sigfillset(&all);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&m_attr, &all);
        posix_spawnattr_setsigmask(&m_attr, &none);
        posix_spawnattr_setflags(&m_attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~CSpawnAttributes() { posix_spawnattr_destroy(&m_attr); }
    CSpawnAttributes(const CSpawnAttributes&) = delete;
    CSpawnAttributes& operator=(const CSpawnAttributes&) = delete;
    const posix_spawnattr_t* Get() const { return &m_attr; }

private:
    posix_spawnattr_t m_attr;
};
