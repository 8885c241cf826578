#include "MyFilesData.h"

#include "PathComponents.h"

#include "ProjectData.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

std::string Join(const std::vector<std::string>& parts)
{
    std::string joined;
    for (const std::string& part : parts) {
        if (!joined.empty())
            joined += '\\';
        joined += part;
    }
    return joined;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::string CMyFilesData::GetEntryName(const std::string& path)
{
    std::string name = path;
    // A drive letter loses its colon: "C:\Docs" is stored below "C".
    if (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0])))
        name.erase(1, 1);
    return Join(SplitPathComponents(name, true));
}

std::string CMyFilesData::GetTreePath(const std::string& path)
{
    std::string tree = path;
    std::replace(tree.begin(), tree.end(), '/', '\\');
    const std::size_t first = tree.find_first_not_of('\\');
    if (first == std::string::npos)
        return {};
    const std::size_t last = tree.find_last_not_of('\\');
    return tree.substr(first, last - first + 1);
}

std::string CMyFilesData::GetFilterKey(const std::string& name)
{
    const std::size_t slash = name.find_last_of("/\\");
    const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    const std::size_t dot = base.find_last_of('.');
    // A name that only starts with a dot (".profile") is a hidden file without an
    // extension, not a file of type "*.profile".
    if (dot == std::string::npos || dot == 0)
        return {};
    return "*" + Lower(base.substr(dot));
}

bool CMyFilesData::PassesFilter(const std::string& name, const CProjectData& job)
{
    const std::string key = GetFilterKey(name);
    const auto listed = [&key](const std::vector<std::string>& list) {
        return std::any_of(list.begin(), list.end(),
                           [&key](const std::string& entry) { return Lower(entry) == key; });
    };
    if (job.m_dwFilterMode == 1)
        return !key.empty() && listed(job.m_IncludeList);
    if (job.m_dwFilterMode == 0 && job.m_dwExcludeFlag != 0)
        return key.empty() || !listed(job.m_ExcludeList);
    return true;
}
