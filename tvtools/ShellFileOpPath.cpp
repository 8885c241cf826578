#include "ShellFileOpPath.h"

namespace tvshell {

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string BaseName(const std::string& path)
{
    const std::string trimmed = TrimTrailingSeparators(path);
    const auto slash = trimmed.rfind('/');
    if (slash == std::string::npos || trimmed == "/")
        return trimmed;
    return trimmed.substr(slash + 1);
}

std::string ParentFolder(const std::string& path)
{
    const std::string trimmed = TrimTrailingSeparators(path);
    const auto slash = trimmed.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return TrimTrailingSeparators(trimmed.substr(0, slash));
}

std::string TrimTrailingSeparators(const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    return trimmed;
}

bool HasWildcard(const std::string& path)
{
    const std::string name = BaseName(path);
    return name.find_first_of("*?") != std::string::npos;
}

bool MatchWildcard(const std::string& pattern, const std::string& name)
{
    if (pattern == "*.*")
        return true;
    // Greedy match with one backtrack point: the last "*" seen absorbs one more
    // character each time the rest fails. Linear in practice, no recursion.
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace tvshell
