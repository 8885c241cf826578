#pragma once

#include <ctime>
#include <string>

class CZipExtractTarget;

// A file or symbolic link made under a temporary name beside its target, and put in
// the target's place only when it is complete (Commit). Until then whatever has the
// target's name stays as it was, and a replacement that is never committed is
// removed again, so a failed, damaged or cancelled extraction never leaves a
// truncated file where the user's good one was.
//
// The temporary name is created exclusively and owner-only inside the target's
// folder (opened without following links), so nobody can plant it, read it half
// written, or redirect it; the final rename replaces a file or a link, never a
// folder, and never writes through a link.
class CZipReplacingFile
{
public:
    explicit CZipReplacingFile(const CZipExtractTarget& target);
    ~CZipReplacingFile();
    CZipReplacingFile(const CZipReplacingFile&) = delete;
    CZipReplacingFile& operator=(const CZipReplacingFile&) = delete;

    // Creates the temporary file for writing; returns its descriptor, owned here.
    // A folder at the target's name is refused (EISDIR) before anything is made.
    int CreateFile();
    // Creates the temporary as a link to `linkTarget` with the given time.
    void CreateLink(const std::string& linkTarget, std::time_t modified);
    // Closes the temporary file; write errors that show only now are thrown.
    void CloseFile();
    // Renames the temporary onto the target's name.
    void Commit();
    // Removes the temporary; nothing happens to the target's name.
    void Discard();

    const std::string& GetTemporaryName() const { return m_temporary; }
    // The target's path, for messages.
    const std::string& GetPath() const { return m_path; }

private:
    void RefuseFolderTarget() const;
    template <typename Make> void MakeTemporary(Make make);

    int m_folder = -1;
    int m_fd = -1;
    std::string m_name; // in m_folder
    std::string m_path; // for messages
    std::string m_temporary;
};
