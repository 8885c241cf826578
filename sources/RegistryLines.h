#pragma once

#include <string>

// The line-wise rewrite of registry files that the export's normalisation and the
// import's identity move share.

enum class RegistryLinesResult
{
    Done,
    SourceNotOpened,
    TargetNotOpened,
    WriteFailed,
};

// One line rewritten: a line holding "Windows Registry Editor" anywhere becomes
// "REGEDIT4"; then every occurrence of `find` (exact, case-sensitive) is replaced by
// `replace`. An empty `find` changes nothing.
std::string RewriteRegistryLine(const std::string& line, const std::string& find,
                                const std::string& replace, bool* headerReplaced = nullptr);

// Writes every line of `source` rewritten into `target` (created anew), each line
// ended by CR LF, as text mode writes it on Windows. `headerReplaced` tells whether a
// header line was replaced.
RegistryLinesResult RewriteRegistryLines(const std::string& source, const std::string& target,
                                         const std::string& find, const std::string& replace,
                                         bool* headerReplaced = nullptr);

// Puts `from` in the place of `to` in one step, so `to` is never missing on the way;
// logs "Fail to rename File :\n %s\nto\n%s" when that fails.
bool ReplaceRegistryFile(const std::string& from, const std::string& to);
