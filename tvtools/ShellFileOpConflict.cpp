#include "ShellFileOpConflict.h"

#include "ShellFileOpError.h"
#include "ShellFileOpFs.h"
#include "ShellFileOpPath.h"

#include <cerrno>
#include <utility>

CShellFileOpConflict::CShellFileOpConflict(std::uint16_t flags, ShellConfirmFunction confirm)
    : m_flags(flags), m_confirm(std::move(confirm))
{
}

ShellConflictOutcome CShellFileOpConflict::Resolve(const std::string& source,
                                                   const struct stat& sourceStat, std::string& dest,
                                                   bool replaceAll)
{
    struct stat destStat
    {
    };
    if (!tvshell::LStat(dest, destStat))
        return ShellConflictOutcome::Write;
    if (m_flags & FOF_RENAMEONCOLLISION) {
        dest = tvshell::FreeCopyName(dest, [](const std::string& p) { return tvshell::Exists(p); });
        return ShellConflictOutcome::Write;
    }
    if (tvshell::IsFolder(sourceStat) != tvshell::IsFolder(destStat))
        tvshell::Fail(EEXIST, dest);
    if (replaceAll || m_yesToAll || (m_flags & FOF_NOCONFIRMATION))
        return ShellConflictOutcome::Replace;
    if (!m_confirm) {
        m_aborted = true;
        throw ShellFileOpError{EEXIST, dest, true};
    }
    switch (Ask({ShellConfirmKind::Replace, source, dest, 1})) {
    case ShellConfirmAnswer::YesToAll:
        m_yesToAll = true;
        return ShellConflictOutcome::Replace;
    case ShellConfirmAnswer::Yes:
        return ShellConflictOutcome::Replace;
    default: // No; Cancel has thrown
        m_aborted = true;
        return ShellConflictOutcome::Skip;
    }
}

bool CShellFileOpConflict::ConfirmDelete(const std::string& first, std::size_t count,
                                         bool permanent)
{
    if (m_flags & FOF_NOCONFIRMATION)
        return true;
    if (!m_confirm) {
        // Nobody can be asked: moving to the trash loses nothing, deleting would.
        if (!permanent)
            return true;
        m_aborted = true;
        throw ShellFileOpError{ECANCELED, first, true};
    }
    switch (Ask({ShellConfirmKind::Delete, first, "", count})) {
    case ShellConfirmAnswer::Yes:
    case ShellConfirmAnswer::YesToAll:
        return true;
    default:
        m_aborted = true;
        return false;
    }
}

ShellConfirmAnswer CShellFileOpConflict::Ask(const ShellConfirmQuestion& question)
{
    // Anything but the three known answers counts as cancel: never guess a yes.
    const ShellConfirmAnswer answer = m_confirm(question);
    if (answer == ShellConfirmAnswer::Yes || answer == ShellConfirmAnswer::YesToAll ||
        answer == ShellConfirmAnswer::No)
        return answer;
    m_aborted = true;
    throw ShellFileOpError{
        ECANCELED, question.kind == ShellConfirmKind::Delete ? question.source : question.target,
        true};
}
