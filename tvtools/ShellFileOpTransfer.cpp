#include "ShellFileOpTransfer.h"

#include "ShellFileOpError.h"
#include "ShellFileOpFs.h"
#include "ShellFileOpPath.h"
#include "ShellFileOpRemove.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <utility>

namespace {

// True when `dest` is `folder` or lies below it, seen through any links on the way:
// copying a folder into itself would never end.
bool IsWithin(const std::string& dest, const std::string& folder)
{
    std::error_code ec;
    const auto inner = std::filesystem::weakly_canonical(dest, ec).string();
    if (ec)
        return false;
    const auto outer = std::filesystem::canonical(folder, ec).string();
    if (ec)
        return false;
    return inner == outer || inner.starts_with(outer == "/" ? outer : outer + "/");
}

} // namespace

CShellFileOpTransfer::CShellFileOpTransfer(std::uint16_t flags, CShellFileOpConflict& conflict,
                                           ShellRenameFunction rename)
    : m_flags(flags), m_conflict(conflict), m_rename(std::move(rename))
{
}

void CShellFileOpTransfer::Copy(const tvshell::ShellTransfer& item)
{
    std::string dest = item.dest;
    const struct stat st = Prepare(item, dest);
    CopyItem(item.source, st, dest, false);
}

void CShellFileOpTransfer::Move(const tvshell::ShellTransfer& item)
{
    std::string dest = item.dest;
    const struct stat st = Prepare(item, dest);
    MoveItem(item.source, st, dest, false);
}

struct stat CShellFileOpTransfer::Prepare(const tvshell::ShellTransfer& item, std::string& dest)
{
    struct stat st
    {
    };
    if (!tvshell::LStat(item.source, st))
        tvshell::Fail(ENOENT, item.source);
    struct stat destStat
    {
    };
    if (tvshell::LStat(dest, destStat) && tvshell::SameFile(st, destStat)) {
        // Onto itself: only a copy under a new name makes sense.
        if (!(m_flags & FOF_RENAMEONCOLLISION))
            tvshell::Fail(EINVAL, item.source);
        dest = tvshell::FreeCopyName(dest, [](const std::string& p) { return tvshell::Exists(p); });
    }
    if (tvshell::IsFolder(st) && IsWithin(dest, item.source))
        tvshell::Fail(EINVAL, dest);
    tvshell::MakeFolders(tvshell::ParentFolder(dest));
    return st;
}

void CShellFileOpTransfer::CopyItem(const std::string& source, const struct stat& st,
                                    std::string dest, bool replaceAll)
{
    const ShellConflictOutcome outcome = m_conflict.Resolve(source, st, dest, replaceAll);
    if (outcome != ShellConflictOutcome::Skip)
        CopyResolved(source, st, dest, outcome == ShellConflictOutcome::Replace, replaceAll);
}

void CShellFileOpTransfer::CopyResolved(const std::string& source, const struct stat& st,
                                        const std::string& dest, bool replace, bool replaceAll)
{
    if (S_ISDIR(st.st_mode))
        CopyFolder(source, st, dest, replace, replaceAll || replace);
    else if (S_ISLNK(st.st_mode))
        tvshell::CopyLink(source, dest, replace);
    else if (S_ISREG(st.st_mode))
        tvshell::CopyFileData(source, st, dest, replace);
    else
        tvshell::Fail(EOPNOTSUPP, source); // devices, pipes, sockets
}

void CShellFileOpTransfer::CopyFolder(const std::string& source, const struct stat& st,
                                      const std::string& dest, bool merge, bool replaceAll)
{
    // Owner-only until filled: a read-only source folder must not block its own copy.
    if (!merge && mkdir(dest.c_str(), 0700) != 0)
        tvshell::Fail(errno, dest);
    for (const std::string& name : tvshell::ListFolder(source)) {
        const std::string child = tvshell::JoinPath(source, name);
        struct stat childStat
        {
        };
        if (!tvshell::LStat(child, childStat))
            tvshell::Fail(ENOENT, child); // vanished: the copy would be incomplete
        CopyItem(child, childStat, tvshell::JoinPath(dest, name), replaceAll);
    }
    // A merged folder keeps its own mode and time.
    if (!merge)
        tvshell::SetFolderAttributes(dest, st);
}

void CShellFileOpTransfer::MoveItem(const std::string& source, const struct stat& st,
                                    std::string dest, bool replaceAll)
{
    const ShellConflictOutcome outcome = m_conflict.Resolve(source, st, dest, replaceAll);
    if (outcome == ShellConflictOutcome::Skip)
        return;
    const bool replace = outcome == ShellConflictOutcome::Replace;
    if (replace && S_ISDIR(st.st_mode)) {
        MoveIntoFolder(source, dest);
        return;
    }
    const int error = m_rename(source, dest, replace);
    if (error == 0)
        return;
    if (error != EXDEV)
        tvshell::Fail(error, source);
    // Another device: the source goes only after its copy is complete.
    CopyResolved(source, st, dest, replace, replaceAll);
    tvshell::RemoveTree(source);
}

void CShellFileOpTransfer::MoveIntoFolder(const std::string& source, const std::string& dest)
{
    for (const std::string& name : tvshell::ListFolder(source)) {
        const std::string child = tvshell::JoinPath(source, name);
        struct stat childStat
        {
        };
        if (tvshell::LStat(child, childStat))
            MoveItem(child, childStat, tvshell::JoinPath(dest, name), true);
    }
    if (rmdir(source.c_str()) == 0)
        return;
    // Items the user chose to keep leave their folder behind, which is right.
    if ((errno == ENOTEMPTY || errno == EEXIST) && m_conflict.Aborted())
        return;
    tvshell::Fail(errno, source);
}
