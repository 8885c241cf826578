#include "UniqueNames.h"

#include "CaseFold.h"

#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <unordered_set>

namespace tbm {
namespace {

// Gives up after this many candidates: a folder holding a million numbered copies
// of one name is a runaway, not a reason to loop for ever.
constexpr int kMaxNumber = 1000000;

// Anything at the path counts, a dangling symbolic link included, so a new file
// never replaces an existing entry.
bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return lstat(path.c_str(), &st) == 0;
}

std::string FirstFree(const std::function<std::string(int)>& candidate)
{
    for (int n = 1; n <= kMaxNumber; ++n) {
        std::string path = candidate(n);
        if (!Exists(path))
            return path;
    }
    return {};
}

} // namespace

bool IsValidFileName(const std::string& name)
{
    return name.find_first_of("\\/:*?<>|") == std::string::npos;
}

std::string MakeUniqueName(const std::string& base, const std::vector<std::string>& existing)
{
    std::unordered_set<std::string> taken;
    for (const std::string& name : existing)
        taken.insert(FoldCase(name));
    if (!taken.count(FoldCase(base)))
        return base;
    // One of the first size()+1 numbers is always free.
    for (std::size_t n = 1;; ++n) {
        std::string candidate = base + "(" + std::to_string(n) + ")";
        if (!taken.count(FoldCase(candidate)))
            return candidate;
    }
}

std::size_t ExtensionOffset(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart)
        return std::string::npos;
    return dot;
}

std::string MakeUniqueFileName(const std::string& path)
{
    if (!Exists(path))
        return path;
    const std::size_t dot = ExtensionOffset(path);
    const std::string stem = path.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : path.substr(dot);
    return FirstFree([&](int n) { return stem + "(" + std::to_string(n) + ")" + extension; });
}

std::string MakeNumberedFileName(const std::string& path)
{
    if (!Exists(path))
        return path;
    return FirstFree([&](int n) {
        char number[16];
        std::snprintf(number, sizeof number, ".%.3d", n);
        return path + number;
    });
}

} // namespace tbm
