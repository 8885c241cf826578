#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

// File-system steps of the batch file operations. Every function that can fail
// throws ShellFileOpError with the errno value and the path concerned.
namespace tvshell {

[[noreturn]] void Fail(int error, const std::string& path);

// lstat: false when nothing is there (the path or one of its folders is missing).
bool LStat(const std::string& path, struct stat& st);
bool Exists(const std::string& path);
bool IsFolder(const struct stat& st);
bool SameFile(const struct stat& a, const struct stat& b);

// The names in a folder, sorted, without "." and "..".
std::vector<std::string> ListFolder(const std::string& folder);
// Creates the folder and any missing parents; an existing folder is fine.
void MakeFolders(const std::string& path);

// The plain rename behind ShellRenameFunction: returns 0 or an errno value. Without
// `replace` an existing `to` is never replaced, not even by a racing writer.
int RenamePath(const std::string& from, const std::string& to, bool replace);

// Copies a regular file's bytes, permission bits and times. The copy is written to a
// temporary name beside `dest`, flushed and renamed into place, so `dest` is either
// the old file or the complete copy, never a truncated one.
void CopyFileData(const std::string& source, const struct stat& st, const std::string& dest,
                  bool replace);
// Copies a symbolic link as a link (its text, not what it points to).
void CopyLink(const std::string& source, const std::string& dest, bool replace);
// Gives a copied folder the source's permission bits and times; done after its
// content, so a read-only folder can still be filled and its time stays.
void SetFolderAttributes(const std::string& folder, const struct stat& st);

} // namespace tvshell
