#include "ShellFileOpRunner.h"

#include "ShellFileOpConflict.h"
#include "ShellFileOpFs.h"
#include "ShellFileOpPath.h"
#include "ShellFileOpPlan.h"
#include "ShellFileOpRemove.h"
#include "ShellFileOpTransfer.h"
#include "ShellFileOpTrash.h"

#include <cerrno>
#include <new>
#include <utility>

namespace {

// Deleting these would take a whole tree or mean nothing; no batch asks for it.
bool IsForbiddenDelete(const std::string& item)
{
    const std::string name = tvshell::BaseName(item);
    return item == "/" || name == "." || name == "..";
}

} // namespace

CShellFileOpRunner::CShellFileOpRunner(ShellFileOpRequest request) : m_request(std::move(request))
{
    if (!m_request.rename)
        m_request.rename = tvshell::RenamePath;
}

int CShellFileOpRunner::Run()
{
    m_error = {};
    m_aborted = false;
    try {
        Execute();
        return 0;
    } catch (const ShellFileOpError& error) {
        m_error = error;
    } catch (const std::bad_alloc&) {
        m_error = {ENOMEM, "", false};
    } catch (...) {
        // A confirmation function of the caller's may throw anything; the batch
        // still ends with a result instead of taking the caller down.
        m_error = {EIO, "", false};
    }
    if (m_error.error == 0)
        m_error.error = EIO;
    m_aborted = m_aborted || m_error.aborted;
    return m_error.error;
}

void CShellFileOpRunner::Execute()
{
    const std::uint16_t flags = m_request.flags;
    CShellFileOpConflict conflict(flags, m_request.confirm);
    // Whatever way the batch ends, a skipped item leaves it "aborted".
    struct AbortedNote
    {
        CShellFileOpConflict& conflict;
        bool& aborted;
        ~AbortedNote() { aborted = aborted || conflict.Aborted(); }
    } note{conflict, m_aborted};

    switch (m_request.operation) {
    case FO_COPY:
    case FO_MOVE: {
        CShellFileOpTransfer transfer(flags, conflict, m_request.rename);
        const auto plan = tvshell::PlanTransfers(m_request.sources, m_request.targets, flags);
        for (const tvshell::ShellTransfer& item : plan) {
            if (m_request.operation == FO_COPY)
                transfer.Copy(item);
            else
                transfer.Move(item);
        }
        return;
    }
    case FO_DELETE:
        return Delete(conflict);
    case FO_RENAME:
        return Rename(conflict);
    default:
        tvshell::Fail(EINVAL, "");
    }
}

void CShellFileOpRunner::Delete(CShellFileOpConflict& conflict)
{
    const std::uint16_t flags = m_request.flags;
    if (m_request.sources.empty())
        tvshell::Fail(EINVAL, "");
    std::vector<std::string> items;
    for (const std::string& source : m_request.sources) {
        for (std::string& item : tvshell::ExpandSource(source, flags & FOF_FILESONLY)) {
            if (IsForbiddenDelete(item))
                tvshell::Fail(EINVAL, item);
            items.push_back(std::move(item));
        }
    }
    const bool toTrash = flags & FOF_ALLOWUNDO;
    if (items.empty() || !conflict.ConfirmDelete(items.front(), items.size(), !toTrash))
        return;
    for (const std::string& item : items) {
        if (toTrash)
            tvshell::MoveToTrash(item, m_request.rename);
        else
            tvshell::RemoveTree(item);
    }
}

void CShellFileOpRunner::Rename(CShellFileOpConflict& conflict)
{
    // One item to one new name; batches of renames are moves.
    if (m_request.sources.size() != 1 || m_request.targets.size() != 1 ||
        tvshell::HasWildcard(m_request.sources.front()) || m_request.targets.front().empty())
        tvshell::Fail(EINVAL, m_request.sources.empty() ? "" : m_request.sources.front());
    const std::string source = tvshell::TrimTrailingSeparators(m_request.sources.front());
    std::string dest = tvshell::TrimTrailingSeparators(m_request.targets.front());
    // A bare name is the new name in the item's own folder.
    if (dest.find('/') == std::string::npos)
        dest = tvshell::JoinPath(tvshell::ParentFolder(source), dest);
    struct stat st
    {
    };
    if (!tvshell::LStat(source, st))
        tvshell::Fail(ENOENT, source);
    if (dest == source)
        return;
    struct stat destStat
    {
    };
    // Two names of one file: rename(2) would report success and change nothing.
    if (tvshell::LStat(dest, destStat) && tvshell::SameFile(st, destStat))
        tvshell::Fail(EINVAL, source);
    const ShellConflictOutcome outcome = conflict.Resolve(source, st, dest, false);
    if (outcome == ShellConflictOutcome::Skip)
        return;
    const bool replace = outcome == ShellConflictOutcome::Replace;
    // Replacing a folder by renaming onto it is no rename; that is a merge (a move).
    if (replace && tvshell::IsFolder(st))
        tvshell::Fail(EEXIST, dest);
    if (const int error = m_request.rename(source, dest, replace))
        tvshell::Fail(error, source);
}
