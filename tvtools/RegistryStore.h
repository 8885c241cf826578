#pragma once

#include "RegError.h"
#include "RegHandleTable.h"

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <string>

class CRegDatabase;

// The process's one registry store: the SQLite database file and the table of open
// key handles, behind one mutex. The database opens on first use, from
// $TBM_REGISTRY when set, else $XDG_DATA_HOME/TBManager/registry.sqlite.
class CRegistryStore
{
public:
    static CRegistryStore& Instance();

    // Closes the database and invalidates every open handle; the next call opens the
    // file that the environment names then. For tests that switch TBM_REGISTRY.
    static void Reset();

    // The database file the store uses (or will use) according to the environment.
    static std::string DatabasePath();

    // Runs `work(store)` under the store's lock and turns any failure into a result
    // code, so nothing thrown inside ever reaches a caller.
    template <class Work> LONG Run(Work&& work) noexcept
    {
        try {
            std::lock_guard<std::mutex> lock(m_mutex);
            return work(*this);
        } catch (const CRegError& e) {
            return e.Code();
        } catch (const std::bad_alloc&) {
            return ERROR_NOT_ENOUGH_MEMORY;
        } catch (...) {
            return ERROR_REGISTRY_IO_FAILED;
        }
    }

    // Inside Run only: the open database (opened now if need be) and the handles.
    CRegDatabase& Database();
    CRegHandleTable& Handles() { return m_handles; }

    // Inside a transaction: the key id behind a handle, after checking that the handle
    // carries `needed` rights and that its key still exists.
    std::int64_t Resolve(HKEY key, REGSAM needed);

private:
    CRegistryStore() = default;
    ~CRegistryStore();
    void CloseDatabase();

    std::mutex m_mutex;
    std::unique_ptr<CRegDatabase> m_db;
    pid_t m_owner = 0;
    CRegHandleTable m_handles;
};
