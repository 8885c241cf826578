#pragma once

#include <map>
#include <string>

// Reads the text of an XDG "user-dirs.dirs" file: lines such as
//   XDG_DOCUMENTS_DIR="$HOME/Documents"
// and returns each key with its absolute path ("$HOME" replaced by `home`, no
// trailing "/"). The file belongs to the user and may hold anything: comments,
// blank lines, lines without "=", values that are neither "$HOME/..." nor absolute,
// and unterminated quotes are skipped; later lines win over earlier ones.
std::map<std::string, std::string> ParseUserDirs(const std::string& text, const std::string& home);
