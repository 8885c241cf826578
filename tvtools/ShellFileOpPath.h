#pragma once

#include <string>

// Path helpers of the batch file operations: POSIX paths with "/".
namespace tvshell {

// `folder` + "/" + `name`, without doubling a separator.
std::string JoinPath(const std::string& folder, const std::string& name);
// The last component ("c" of "/a/b/c"); the path itself when it has no "/".
std::string BaseName(const std::string& path);
// All but the last component ("/a/b" of "/a/b/c", "/" of "/a", "." of "c").
std::string ParentFolder(const std::string& path);
// The path without trailing "/" (but "/" stays "/"), so a link named with a trailing
// separator is the link itself, not the folder it points to.
std::string TrimTrailingSeparators(const std::string& path);

// True when the last component holds "*" or "?".
bool HasWildcard(const std::string& path);
// Matches `name` against a pattern of "*" (any run) and "?" (one character); every
// other character stands for itself, "[" included. "*.*" matches every name, as in
// the shell, also names without a dot.
bool MatchWildcard(const std::string& pattern, const std::string& name);

// A free name for a copy next to `taken`: "Copy of NAME", then "Copy (2) of NAME",
// "Copy (3) of NAME", ... `exists` tells whether a candidate path is taken.
template <typename Exists> std::string FreeCopyName(const std::string& taken, Exists exists)
{
    const std::string folder = ParentFolder(taken);
    const std::string name = BaseName(taken);
    std::string candidate = JoinPath(folder, "Copy of " + name);
    for (unsigned n = 2; exists(candidate); ++n)
        candidate = JoinPath(folder, "Copy (" + std::to_string(n) + ") of " + name);
    return candidate;
}

} // namespace tvshell
