#include "Dbx5StoreFolder.h"

#include "CaseFold.h"

#include <dirent.h>
#include <sys/stat.h>

void CDbx5StoreFolder::SetPath(const std::string& folder)
{
    m_strPath = folder;
    if (m_strPath.empty() || m_strPath.back() != '/')
        m_strPath += '/';
    Forget();
}

void CDbx5StoreFolder::Forget()
{
    m_TakenFiles.clear();
    m_TakenPaths.clear();
}

void CDbx5StoreFolder::Reserve(std::uint64_t device, std::uint64_t inode)
{
    m_TakenFiles.insert({device, inode});
}

bool CDbx5StoreFolder::IsPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos;
}

CDbx5StoreFolder::Result CDbx5StoreFolder::Take(const std::string& name, std::string& path,
                                                std::uint64_t& size)
{
    if (!IsPlainName(name))
        return Result::NotPlain;
    const std::string found = m_strPath + FindOnDisk(name);
    struct stat st
    {
    };
    const bool onDisk = stat(found.c_str(), &st) == 0;
    const bool fresh = onDisk ? m_TakenFiles.insert({st.st_dev, st.st_ino}).second
                              : m_TakenPaths.insert(found).second;
    if (!fresh)
        return Result::TakenBefore;
    path = found;
    size = onDisk && S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    return Result::Taken;
}

// The name as written when it is there (or when nothing matches); else the first
// name of the folder, in byte order, that differs from it only in letter case.
std::string CDbx5StoreFolder::FindOnDisk(const std::string& name) const
{
    struct stat st
    {
    };
    if (lstat((m_strPath + name).c_str(), &st) == 0)
        return name;
    DIR* dir = opendir(m_strPath.c_str());
    if (!dir)
        return name;
    std::string best;
    while (const dirent* entry = readdir(dir)) {
        const std::string candidate = entry->d_name;
        if (EqualsNoCase(candidate, name) && (best.empty() || candidate < best))
            best = candidate;
    }
    closedir(dir);
    return best.empty() ? name : best;
}
