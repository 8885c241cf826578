#include "ZipPathParts.h"

#include <cctype>

namespace {

// Length of the prefix of `path`: 2, 4 or 8 characters of "\\?\unc\", else 0.
// A '/' counts as a '\', since either may separate.
std::size_t PrefixLength(const std::string& path)
{
    static const char kLongUnc[] = "\\\\?\\unc\\";
    std::size_t matched = 0;
    while (matched < 8 && matched < path.size()) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(path[matched])));
        if (c == '/')
            c = '\\';
        if (c != kLongUnc[matched])
            break;
        ++matched;
    }
    return matched == 2 || matched == 4 || matched == 8 ? matched : 0;
}

} // namespace

void CZipPathParts::SetPath(const std::string& path, Syntax syntax)
{
    m_syntax = syntax;
    m_prefix.clear();
    m_drive.clear();
    const std::size_t prefix = syntax == AnySyntax ? PrefixLength(path) : 0;
    m_prefix = path.substr(0, prefix);
    std::string rest = path.substr(prefix);
    SplitDrive(rest);
    SplitName(rest);
}

void CZipPathParts::SplitDrive(std::string& rest)
{
    if (m_syntax == AnySyntax && rest.size() >= 2 &&
        std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':') {
        m_drive = rest.substr(0, 2);
        rest.erase(0, 2);
    } else if (m_prefix.empty() && !rest.empty() && IsSeparator(rest[0])) {
        m_drive = rest.substr(0, 1);
    }
}

void CZipPathParts::SplitName(const std::string& rest)
{
    std::size_t lastSeparator = std::string::npos;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (IsSeparator(rest[i]))
            lastSeparator = i;
    }
    const std::size_t nameStart = lastSeparator == std::string::npos ? 0 : lastSeparator + 1;
    std::size_t first = 0;
    std::size_t last = nameStart;
    while (first < last && IsSeparator(rest[first]))
        ++first;
    while (last > first && IsSeparator(rest[last - 1]))
        --last;
    m_folder = rest.substr(first, last - first);

    const std::string name = rest.substr(nameStart);
    const std::size_t dot = name.rfind('.');
    m_title = dot == std::string::npos ? name : name.substr(0, dot);
    m_extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string CZipPathParts::GetFileName() const
{
    return m_extension.empty() ? m_title : m_title + "." + m_extension;
}

std::string CZipPathParts::GetFolderPath() const
{
    std::string path = m_prefix + m_drive;
    if (!m_drive.empty() && !m_folder.empty() && !IsSeparator(m_drive.back()))
        path += m_separator;
    return path + m_folder;
}

std::string CZipPathParts::GetFullPath() const
{
    std::string path = GetFolderPath();
    const std::string name = GetFileName();
    if (name.empty())
        return path;
    if (!path.empty() && !IsSeparator(path.back()))
        path += m_separator;
    return path + name;
}

std::string CZipPathParts::GetPathWithoutDrive() const
{
    const std::string name = GetFileName();
    if (m_folder.empty() || name.empty())
        return m_folder + name;
    return m_folder + m_separator + name;
}
