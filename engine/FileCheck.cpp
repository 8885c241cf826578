#include "FileCheck.h"

#include "Prompt.h"

#include <sys/stat.h>

int CFileCheck::CheckFile(const std::string& path)
{
    struct stat st
    {
    };
    if (path.empty() || stat(path.c_str(), &st) != 0)
        return IDSKIPFILE;
    return 0;
}

int CFileCheck::CheckKnownFile(const std::string& path, const struct stat&)
{
    return CheckFile(path);
}
