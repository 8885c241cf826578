#pragma once

#include <string>

struct stat;

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
    // The same check for a file whose status the caller has just read (lstat: a
    // link is itself), which spares reading it again for every file of a walk.
    virtual int CheckKnownFile(const std::string& path, const struct stat& status);
};
