#pragma once

#include "ShellFileOpConflict.h"
#include "ShellFileOpPlan.h"
#include "ShellFileOpTypes.h"

#include <sys/stat.h>

#include <cstdint>
#include <string>

// Copies and moves the items of one batch, folders recursively. Links are copied as
// links and never followed. A move renames where it can and else copies the whole
// item first and deletes the source only once the copy is complete. Throws
// ShellFileOpError at the first failure; what was done before stays done.
class CShellFileOpTransfer
{
public:
    CShellFileOpTransfer(std::uint16_t flags, CShellFileOpConflict& conflict,
                         ShellRenameFunction rename);

    void Copy(const tvshell::ShellTransfer& item);
    void Move(const tvshell::ShellTransfer& item);

private:
    // Checks shared by copy and move; returns the source's status.
    struct stat Prepare(const tvshell::ShellTransfer& item, std::string& dest);
    void CopyItem(const std::string& source, const struct stat& st, std::string dest,
                  bool replaceAll);
    void CopyResolved(const std::string& source, const struct stat& st, const std::string& dest,
                      bool replace, bool replaceAll);
    void CopyFolder(const std::string& source, const struct stat& st, const std::string& dest,
                    bool merge, bool replaceAll);
    void MoveItem(const std::string& source, const struct stat& st, std::string dest,
                  bool replaceAll);
    void MoveIntoFolder(const std::string& source, const std::string& dest);

    std::uint16_t m_flags;
    CShellFileOpConflict& m_conflict;
    ShellRenameFunction m_rename;
};
