#pragma once

#include <string>
#include <vector>

namespace tbm {

// True when the name holds none of the characters that Windows refuses in a file
// name ("\/:*?<>|"), so job and backup names stay portable to either system.
bool IsValidFileName(const std::string& name);

// The base itself when no existing name equals it (letter case ignored); otherwise
// the first "base(N)", N = 1, 2, ..., that equals no existing name.
std::string MakeUniqueName(const std::string& base, const std::vector<std::string>& existing);

// The path itself when nothing exists there; otherwise the first free
// "stem(N).ext". The extension starts at the last point of the file name, not
// counting a leading point (".profile" has none). Empty when no number is free.
std::string MakeUniqueFileName(const std::string& path);

// The path itself when nothing exists there; otherwise the first free "path.NNN"
// (at least three digits: .001, .002, ...). Empty when no number is free.
std::string MakeNumberedFileName(const std::string& path);

// Offset of the extension's point within the path's file name part, or npos.
std::size_t ExtensionOffset(const std::string& path);

} // namespace tbm
