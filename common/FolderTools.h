#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tbm {

// Creates the folder and every missing folder above it, each with `mode` (the umask
// applies). One trailing "/" is ignored. 0 when the last folder was created here,
// -1 when it existed already or could not be created.
int CreateFolderPath(const std::string& path, mode_t mode = 0777);

// Makes a new private folder (mode 0700) in `parent`, or in the system temporary
// folder when `parent` is empty, named "OL3" + hexadecimal number + "Temp" after a
// fresh temporary file name, which is removed again. The folder is always new: a
// name taken by an older folder is never handed out twice. Returns the folder path
// without a trailing "/", or empty when no folder could be made.
std::string CreateTempFolder(const std::string& parent);

// Names in `folder`, sorted by byte value so the order is the same on every run.
// Without a pattern: the sub-folders (symbolic links to folders count), hidden ones
// included. With a pattern: the regular files whose name matches it ("*.*" matches
// every name; other patterns as fnmatch, case-sensitive), hidden files (names that
// start with ".") skipped. False when the folder cannot be read, or when a pattern
// is used and no entry at all matches it.
bool ListFolder(const std::string& folder, const std::string& pattern, bool usePattern,
                std::vector<std::string>& names);

// The regular, not hidden files of the folder ("*.*").
bool ListFiles(const std::string& folder, std::vector<std::string>& names);

// Deletes every file that ListFiles lists; false when one of them stays.
bool DeleteFolderFiles(const std::string& folder);

// Removes everything below the folder, depth first; the folder itself stays.
// Symbolic links are removed, never followed, and a folder that is itself a link
// is refused, so nothing outside the tree can be deleted. False when the folder
// cannot be read or something below it could not be removed.
bool DeleteFolderTree(const std::string& folder);

} // namespace tbm
