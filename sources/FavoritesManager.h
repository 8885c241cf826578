#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Lists the user's favorites: every regular file below the favorites folder, in
// sorted order, sub-folders included; links are never followed, so a link loop or a
// link out of the folder adds nothing.
class CFavoritesManager
{
public:
    // Lists `folder`; nonzero on success, 0 when it is no readable folder (the lists
    // are empty then).
    int Load(const std::string& folder);

    // Full paths, each the folder followed by "/" and the path below it.
    const std::vector<std::string>& GetFavoritesArray() const { return m_Favorites; }
    std::size_t GetFavoritesCount() const { return m_Favorites.size(); }
    // Total bytes, held at 4 GiB - 1 rather than wrapped when larger.
    std::uint32_t GetFavoritesSize() const;
    std::uint64_t GetFavoritesSize64() const { return m_qwSize; }

private:
    std::vector<std::string> m_Favorites;
    std::uint64_t m_qwSize = 0;
};
