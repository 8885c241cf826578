#include "StoredName.h"

#include "CaseFold.h"
#include "ExpandEnvironment.h"

namespace {

bool IsSoundComponent(std::string_view part)
{
    if (part.empty() || part == "." || part == "..")
        return false;
    return part.find('/') == std::string_view::npos && part.find('\0') == std::string_view::npos;
}

bool IsDrive(std::string_view part)
{
    return part.size() == 2 && part[1] == ':';
}

} // namespace

std::string NativeAbsolutePath(const std::string& text)
{
    std::string path = ExpandEnvironmentStrings(text);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return !path.empty() && path.front() == '/' ? path : std::string();
}

std::optional<std::vector<std::string>> SplitStoredName(std::string_view name)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('\\', start), name.size());
        const std::string_view part = name.substr(start, end - start);
        if (!IsSoundComponent(part) || (parts.empty() && IsDrive(part)))
            return std::nullopt;
        parts.emplace_back(part);
        start = end + 1;
    }
    return parts;
}

std::optional<std::string> StoredNameBelow(std::string_view entryName, std::string_view folder)
{
    if (entryName.size() <= folder.size() + 1 || entryName[folder.size()] != '\\' ||
        !EqualsNoCase(entryName.substr(0, folder.size()), folder))
        return std::nullopt;
    return std::string(entryName.substr(folder.size() + 1));
}

CAddInfo PlanStoredFile(const CAddInfo& stored, const std::string& root,
                        const std::vector<std::string>& parts)
{
    CAddInfo plan;
    std::string folder = root;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i)
        folder += "/" + parts[i];
    plan.m_strSourcePath = folder;
    plan.m_strEntryName = stored.m_strEntryName;
    plan.m_dwDirectory = 0;
    plan.m_dwSize = stored.m_dwSize;
    plan.m_dwKind = 0;
    plan.m_strNewName = parts.back();
    plan.m_strTargetPath = folder + "/" + parts.back();
    plan.m_strTargetRoot = root;
    return plan;
}
