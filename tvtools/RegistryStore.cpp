#include "RegistryStore.h"

#include "RegDatabase.h"
#include "RegKeyTable.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

// Creates the missing folders above `path`, private to the user (0700); existing
// folders keep their mode. A failure shows up when the database is opened.
void CreateParentFolders(const std::string& path)
{
    for (std::size_t cut = path.find('/', 1); cut != std::string::npos;
         cut = path.find('/', cut + 1)) {
        const std::string folder = path.substr(0, cut);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return;
    }
}

} // namespace

CRegistryStore& CRegistryStore::Instance()
{
    // Never destroyed: objects that hold keys may close them during static
    // destruction. The database itself is closed at exit, so its write-ahead log is
    // folded back into the file.
    static CRegistryStore* const store = [] {
        auto* created = new CRegistryStore;
        std::atexit([] {
            CRegistryStore& self = Instance();
            std::lock_guard<std::mutex> lock(self.m_mutex);
            self.CloseDatabase();
        });
        return created;
    }();
    return *store;
}

CRegistryStore::~CRegistryStore() = default;

void CRegistryStore::Reset()
{
    CRegistryStore& self = Instance();
    std::lock_guard<std::mutex> lock(self.m_mutex);
    self.CloseDatabase();
    self.m_handles.Clear();
}

std::string CRegistryStore::DatabasePath()
{
    const char* chosen = std::getenv("TBM_REGISTRY");
    if (chosen && *chosen)
        return chosen;
    // Relative values of XDG_DATA_HOME are to be ignored, as the XDG rules say.
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string folder = data && *data == '/' ? std::string(data) : HomeFolder() + "/.local/share";
    return folder + "/TBManager/registry.sqlite";
}

void CRegistryStore::CloseDatabase()
{
    // A connection inherited through fork belongs to the parent: leave it alone.
    if (m_db && m_owner != getpid())
        m_db->Abandon();
    m_db.reset();
}

CRegDatabase& CRegistryStore::Database()
{
    if (m_db && m_owner != getpid())
        CloseDatabase();
    if (!m_db) {
        const std::string path = DatabasePath();
        if (path.empty())
            throw CRegError(ERROR_REGISTRY_IO_FAILED);
        CreateParentFolders(path);
        m_db = std::make_unique<CRegDatabase>(path);
        m_owner = getpid();
    }
    return *m_db;
}

std::int64_t CRegistryStore::Resolve(HKEY key, REGSAM needed)
{
    const std::optional<TvRegOpenKey> open = m_handles.Find(key);
    if (!open)
        throw CRegError(ERROR_INVALID_HANDLE);
    if ((open->access & needed) != needed)
        throw CRegError(ERROR_ACCESS_DENIED);
    if (!CRegKeyTable(Database()).Exists(open->keyId))
        throw CRegError(ERROR_KEY_DELETED);
    return open->keyId;
}
