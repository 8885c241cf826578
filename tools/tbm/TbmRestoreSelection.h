#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CMyFilesData;

// What `tbm restore` takes from the My Files restore tree: everything, or with
// --only the file records whose stored path matches one of the shell wildcards.
class CTbmRestoreSelection
{
public:
    // True when `pattern` matches the stored path as stored, its "/" form, or one of
    // its tails of whole components ("*.txt" and "docs/*.txt" both match
    // "C:\Docs\a.txt" and "/home/u/docs/a.txt"). "*" and "?" do not cross a "/";
    // "\" is a plain character, as Windows paths need.
    static bool Matches(const std::string& pattern, const std::string& stored);

    // Checks the records to restore (all of them when `patterns` is empty) and
    // returns how many were checked.
    static std::size_t Apply(CMyFilesData& files, const std::vector<std::string>& patterns);

private:
    static std::vector<std::string> Candidates(const std::string& stored);
};
