#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

// What a backup must never put into itself: its output file, the volumes of a
// spanned output ("title.000", "title.001", ... beside "title.tbm"), the temporary
// files a run writes beside it (".title~tbm..."), and the work
// folder with the catalogue being written. Files are recognised by device and inode
// or by name in the output folder, so another spelling of the same path (a link
// in the selection's path, "..") does not slip through.
class CMyFilesExclusions
{
public:
    void Clear();
    // Takes the paths of the current job; either may be empty or not exist yet.
    void Set(const std::string& outputPath, const std::string& workFolder);

    bool IsExcludedFolder(dev_t device, ino_t inode) const;
    // `folderDevice`/`folderInode` identify the folder holding the file `name`.
    bool IsExcludedFile(dev_t folderDevice, ino_t folderInode, const std::string& name,
                        dev_t device, ino_t inode) const;

    // True for "stem.NNN" (three or more digits) of the output "stem.ext".
    static bool IsVolumeName(const std::string& name, const std::string& outputName);

private:
    using Identity = std::pair<dev_t, ino_t>;
    static bool Identify(const std::string& path, Identity& identity);

    std::vector<Identity> m_Folders; // excluded folders (the work folder)
    bool m_bHasOutputFolder = false;
    Identity m_OutputFolder{};
    std::string m_strOutputName;
    bool m_bHasOutputFile = false;
    Identity m_OutputFile{};
};
