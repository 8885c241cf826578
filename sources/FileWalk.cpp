#include "FileWalk.h"

#include <dirent.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

bool ReadNames(const std::string& folder, std::vector<std::string>& names)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir)
        return false;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return true;
}

} // namespace

bool CFileWalk::Walk(const std::string& folder, const FileVisit& file, const OtherVisit& other)
{
    struct stat st
    {
    };
    // The walked folder itself may be reached through a link (a favorites folder
    // moved elsewhere); what lies below it is not.
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return true;
    return WalkFolder(folder, {}, file, other);
}

bool CFileWalk::WalkFolder(const std::string& folder, const std::string& relative,
                           const FileVisit& file, const OtherVisit& other)
{
    std::vector<std::string> names;
    if (!ReadNames(folder, names)) {
        if (other)
            other(folder, {});
        return true;
    }
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        const std::string below = relative.empty() ? name : relative + "/" + name;
        struct stat st
        {
        };
        if (lstat(path.c_str(), &st) != 0) {
            if (other)
                other(path, {});
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            if (!WalkFolder(path, below, file, other))
                return false;
        } else if (S_ISREG(st.st_mode)) {
            if (file(path, below, st) == Step::Stop)
                return false;
        } else if (other) {
            other(path, st);
        }
    }
    return true;
}
