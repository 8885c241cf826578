#pragma once

#include <string>
#include <vector>

// Where an entry is extracted to, made safe: the entry's name is cut into parts
// with "", ".", ".." and a leading drive ("C:") dropped, so no name leads out of
// the target folder, and the parts are created below the folder with openat and
// O_NOFOLLOW, so a symbolic link inside the folder is never followed out of it.
class CZipExtractTarget
{
public:
    CZipExtractTarget(const std::string& entryName, const std::string& folder, bool fullPath,
                      const std::string& newName);

    // Folder + "/" + the safe parts; the folder unchanged when no part is left.
    const std::string& GetPath() const { return m_path; }
    bool IsEmpty() const { return m_parts.empty(); }

    // Creates the folder (it may be reached through links: the caller chose it) and
    // every part below it as folders, the last one with `lastMode` (before the
    // umask) when it is new. File errors are thrown as CZipException.
    void MakeFolders(unsigned lastMode = 0777) const;
    // Opens the existing folder the whole path names, creating nothing and never
    // following a link below the caller's folder. -1 with errno set on failure.
    int OpenExistingFolder() const;
    // The number of names in the whole path: a folder lies deeper than its parent.
    std::size_t GetDepth() const;
    // Creates every part but the last as folders and opens the folder that holds
    // the last one (EISDIR when there is no part). Returns the descriptor.
    int OpenParentFolder() const;
    // The last part: the name of the file in that folder; empty when no part is
    // left (a name of only "..", "." or separators), which OpenParentFolder refuses.
    std::string GetLeafName() const { return m_parts.empty() ? std::string() : m_parts.back(); }

private:
    // Opens the folder and walks `depth` parts down, creating missing ones (the
    // last with `lastMode`).
    int OpenFolder(std::size_t depth, unsigned lastMode = 0777) const;
    int OpenBase() const;

    std::string m_folder;
    std::vector<std::string> m_parts;
    std::string m_path;
};
