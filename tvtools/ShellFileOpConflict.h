#pragma once

#include "ShellFileOpTypes.h"

#include <sys/stat.h>

#include <cstdint>
#include <string>

// What to do when the destination of an item already exists.
enum class ShellConflictOutcome
{
    Write,   // the destination is free (maybe under a new name): create it
    Replace, // replace the file, or merge into the folder, that is there
    Skip,    // leave this item alone
};

// Applies the conflict rules of one batch: a free "Copy of" name with
// FOF_RENAMEONCOLLISION, replacement with FOF_NOCONFIRMATION or after "yes to all",
// else the caller's question. With nobody to ask nothing is replaced: the batch stops
// as aborted. Keeps the batch's "aborted" state.
class CShellFileOpConflict
{
public:
    CShellFileOpConflict(std::uint16_t flags, ShellConfirmFunction confirm);

    // `dest` may come back changed to a free name. `replaceAll` is true inside a
    // folder the user already agreed to merge into. A file never replaces a folder
    // nor a folder a file or link (EEXIST): that would lose what is there.
    ShellConflictOutcome Resolve(const std::string& source, const struct stat& sourceStat,
                                 std::string& dest, bool replaceAll);
    // Asks whether `count` items may be deleted; false when the user said no.
    // Throws when the user cancels or, for `permanent` deletes, nobody can be asked.
    bool ConfirmDelete(const std::string& first, std::size_t count, bool permanent);

    bool Aborted() const { return m_aborted; }

private:
    ShellConfirmAnswer Ask(const ShellConfirmQuestion& question);

    std::uint16_t m_flags;
    ShellConfirmFunction m_confirm;
    bool m_yesToAll = false;
    bool m_aborted = false;
};
