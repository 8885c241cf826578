#include "RegDatabase.h"

#include "RegError.h"
#include "RegStatement.h"
#include "RegTransaction.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

// Long enough that a second process (the GUI beside a scheduled run) waits for the
// other's write to finish instead of failing.
constexpr int kBusyTimeoutMs = 30000;
constexpr int kSchemaVersion = 1;
// "TvRg": marks the file as a registry store for tools such as file(1).
constexpr int kApplicationId = 0x54765267;

const char* const kSchema = R"sql(
CREATE TABLE keys(
    id     INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER,
    name   TEXT NOT NULL,
    folded TEXT NOT NULL);
CREATE UNIQUE INDEX keys_child ON keys(parent, folded);
CREATE TABLE vals(
    id     INTEGER PRIMARY KEY AUTOINCREMENT,
    key    INTEGER NOT NULL,
    name   TEXT NOT NULL,
    folded TEXT NOT NULL,
    type   INTEGER NOT NULL,
    data   BLOB NOT NULL);
CREATE UNIQUE INDEX vals_name ON vals(key, folded);
CREATE INDEX vals_order ON vals(key, id);
INSERT INTO keys(id, parent, name, folded) VALUES
    (1, NULL, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT'),
    (2, NULL, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),
    (3, NULL, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'),
    (4, NULL, 'HKEY_USERS', 'HKEY_USERS');
)sql";

// SQLite creates a missing file with the umask's permissions; the registry is private,
// so create it first with owner-only access (the WAL files inherit the mode).
void CreatePrivateFile(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        throw CRegError(ERROR_REGISTRY_IO_FAILED);
    close(fd);
}

} // namespace

CRegDatabase::CRegDatabase(const std::string& path)
{
    CreatePrivateFile(path);
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    try {
        if (rc != SQLITE_OK)
            throw CRegError::FromSqlite(rc);
        Configure();
        CreateSchema();
    } catch (...) {
        sqlite3_close(m_db);
        throw;
    }
}

CRegDatabase::~CRegDatabase()
{
    sqlite3_close(m_db);
}

void CRegDatabase::Exec(const char* sql)
{
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw CRegError::FromSqlite(rc);
}

void CRegDatabase::Configure()
{
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    // WAL lets a reader go on while the other process writes; NORMAL sync is safe with
    // WAL against a crash of the program (only a power cut may lose the last commits).
    SwitchToWal();
    Exec("PRAGMA synchronous=NORMAL");
}

void CRegDatabase::SwitchToWal()
{
    // Two processes that open a new file at the same moment can meet in a lock cycle
    // over the switch; SQLite breaks it by failing one of them at once instead of
    // letting it wait. That one tries again, within the same time limit.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
    for (;;) {
        const int rc = sqlite3_exec(m_db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            return;
        if ((rc & 0xFF) != SQLITE_BUSY || std::chrono::steady_clock::now() >= deadline)
            throw CRegError::FromSqlite(rc);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void CRegDatabase::CreateSchema()
{
    CRegTransaction tx(*this, true);
    CRegStatement version(m_db, "PRAGMA user_version");
    const long long found = version.Step() ? version.Int(0) : 0;
    if (found == kSchemaVersion)
        return;
    if (found != 0)
        throw CRegError(ERROR_REGISTRY_CORRUPT);
    Exec(kSchema);
    Exec(("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str());
    Exec(("PRAGMA application_id=" + std::to_string(kApplicationId)).c_str());
    tx.Commit();
}
