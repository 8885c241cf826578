#pragma once

#include <string>
#include <vector>

// Puts a new archive in place of an old one without ever risking the old one. The
// new archive is written beside its target under a temporary name
// ("." + title + "~tbm" + 8 hex digits + extension, mode 0600); once it is closed
// (and so synced), Commit renames it over the target in one step and syncs the
// folder. Until then the target is untouched: a failed, cancelled or killed run
// leaves the previous backup as it was.
//
// A fixed-size volume set is written under the temporary title as well
// (.title~tbmXXXXXXXX.000, ... and the last one under the temporary name itself);
// Commit renames the numbered volumes and then the last one into place, and then
// removes the numbered volumes of an older, longer set. The old set stays readable
// until the set is complete.
//
// The temporary name is reserved by creating it exclusively. A live run's archive
// writer holds a lock on the file it writes, which is how RemoveLeftovers of a later
// run tells a live run from a dead one.
class CZipSafeSave
{
public:
    explicit CZipSafeSave(std::string target);
    ~CZipSafeSave();
    CZipSafeSave(const CZipSafeSave&) = delete;
    CZipSafeSave& operator=(const CZipSafeSave&) = delete;

    const std::string& GetTarget() const { return m_target; }
    // Files that runs on this target left behind when they were killed: every group
    // of temporary names of one run that no live run holds is removed. Returns the
    // number of files removed.
    int RemoveLeftovers() const;
    // Reserves a fresh temporary name and returns it (empty, errno set, when none
    // could be made). The archive is created there, or there its volume set is
    // based.
    std::string Begin();
    const std::string& GetTemporary() const { return m_temporary; }
    // After the archive at the temporary name was closed normally: puts it in place
    // of the target (`volumeSet`: a fixed-size set, whose last volume is named
    // ".tbm"). Throws CZipException (114 and the system's error) when a rename
    // fails; then the target is the old one unless a set was half renamed.
    void Commit(bool volumeSet);
    // Removes the temporary file and any volumes written under its title.
    void Discard();

    // The folder of a native path ("." for a bare name).
    static std::string FolderOf(const std::string& path);
    // True when `fileName` (no folder) is a temporary name of a run on `target`.
    static bool IsTemporaryName(const std::string& target, const std::string& fileName);

private:
    std::vector<std::string> TemporaryVolumes() const;
    void RemoveStaleVolumes(std::size_t firstStale) const;

    std::string m_target;
    std::string m_temporary;
};
