#pragma once

#include <string>

namespace tvshell {

// Deletes a file, a link or a whole folder tree. A symbolic link is removed as a
// link, never followed: the walk opens every folder relative to its parent with
// O_NOFOLLOW, so a folder swapped for a link during the walk is not entered either.
// Throws ShellFileOpError naming the entry that could not be removed.
void RemoveTree(const std::string& path);

} // namespace tvshell
