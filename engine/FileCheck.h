#pragma once

#include <string>

// The check every Add file makes before it takes a file: 0 lets the file in; the
// answers of the Skip/Retry/Cancel prompt say what else to do: IDSKIPFILE (1016)
// skips it, IDRETRYFILE (1021) checks again, any other value cancels. The backup job
// installs a check that asks the user; this one asks nobody: a file that cannot be
// found is skipped.
class CFileCheck
{
public:
    virtual ~CFileCheck() = default;
    virtual int CheckFile(const std::string& path);
};
