#include "FavoritesManager.h"

#include "FileWalk.h"

#include <limits>

int CFavoritesManager::Load(const std::string& folder)
{
    m_Favorites.clear();
    m_qwSize = 0;
    struct stat st
    {
    };
    if (folder.empty() || stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return 0;
    CFileWalk::Walk(folder, [this](const std::string& path, const std::string&, const struct stat& file) {
        m_Favorites.push_back(path);
        m_qwSize += static_cast<std::uint64_t>(file.st_size);
        return CFileWalk::Step::Go;
    });
    return 1;
}

std::uint32_t CFavoritesManager::GetFavoritesSize() const
{
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(m_qwSize < kMax ? m_qwSize : kMax);
}
