#include "ShellFileOpPlan.h"

#include "ShellFileOpFs.h"
#include "ShellFileOpPath.h"
#include "ShellFileOpTypes.h"

#include <cerrno>

namespace tvshell {
namespace {

// The user named the target, so a link to a folder counts as that folder.
bool IsExistingFolder(const std::string& path)
{
    struct stat st
    {
    };
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void AddInto(std::vector<ShellTransfer>& plan, const std::string& source, const std::string& folder,
             bool filesOnly)
{
    for (const std::string& item : ExpandSource(source, filesOnly))
        plan.push_back({item, JoinPath(folder, BaseName(item))});
}

} // namespace

std::vector<std::string> ExpandSource(const std::string& source, bool filesOnly)
{
    const std::string path = TrimTrailingSeparators(source);
    if (path.empty())
        Fail(EINVAL, source);
    if (!HasWildcard(path)) {
        if (!Exists(path))
            Fail(ENOENT, path);
        return {path};
    }
    const std::string folder = ParentFolder(path);
    const std::string pattern = BaseName(path);
    std::vector<std::string> items;
    for (const std::string& name : ListFolder(folder)) {
        if (!MatchWildcard(pattern, name))
            continue;
        const std::string item = JoinPath(folder, name);
        struct stat st
        {
        };
        if (!LStat(item, st))
            continue; // vanished since the listing
        if (!filesOnly || !IsFolder(st))
            items.push_back(item);
    }
    return items;
}

std::vector<ShellTransfer> PlanTransfers(const std::vector<std::string>& sources,
                                         const std::vector<std::string>& targets,
                                         std::uint16_t flags)
{
    const bool filesOnly = flags & FOF_FILESONLY;
    if (sources.empty())
        Fail(EINVAL, "");
    std::vector<ShellTransfer> plan;
    if (flags & FOF_MULTIDESTFILES) {
        if (targets.size() != sources.size())
            Fail(EINVAL, targets.empty() ? sources.front() : targets.front());
        for (std::size_t i = 0; i < sources.size(); ++i) {
            const std::string target = TrimTrailingSeparators(targets[i]);
            if (target.empty())
                Fail(EINVAL, sources[i]);
            if (HasWildcard(sources[i]))
                AddInto(plan, sources[i], target, filesOnly);
            else
                plan.push_back({ExpandSource(sources[i], filesOnly).front(), target});
        }
        return plan;
    }
    if (targets.size() != 1 || targets.front().empty())
        Fail(EINVAL, targets.empty() ? sources.front() : targets.front());
    const std::string target = TrimTrailingSeparators(targets.front());
    if (sources.size() == 1 && !HasWildcard(sources.front()) && !IsExistingFolder(target)) {
        plan.push_back({ExpandSource(sources.front(), filesOnly).front(), target});
        return plan;
    }
    for (const std::string& source : sources)
        AddInto(plan, source, target, filesOnly);
    return plan;
}

} // namespace tvshell
