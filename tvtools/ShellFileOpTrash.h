#pragma once

#include "ShellFileOpTypes.h"

#include <string>

namespace tvshell {

// The user's trash folder: $XDG_DATA_HOME/Trash, else ~/.local/share/Trash.
std::string HomeTrashFolder();

// Moves a file, link or folder into the user's trash as the freedesktop.org trash
// does it: the item goes to Trash/files/NAME and Trash/info/NAME.trashinfo records
// where it came from and when, so a file manager can put it back. NAME gets ".2",
// ".3", ... when taken. An item on another device than the home trash goes to
// that device's own trash folder ($topdir/.Trash-$uid) instead of being copied.
// Throws ShellFileOpError; on failure the item stays where it was.
void MoveToTrash(const std::string& path, const ShellRenameFunction& rename);

// The text of a .trashinfo file (exposed for tests).
std::string TrashInfoText(const std::string& absolutePath, long long when);

} // namespace tvshell
