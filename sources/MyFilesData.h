#pragma once

#include "BackupMangerSource.h"
#include "MyFilesExclusions.h"

#include <cstdint>
#include <string>
#include <vector>

class CProjectData;

// My Files: the files and folders the user picked. Backup side: turns the selection
// into entries (kind 4) with their entry names and tree paths and writes
// "MyFiles.tdat".
//
// Walking never follows symbolic links (no cycles, nothing outside the selection),
// passes over FIFOs, sockets and devices with a report line (reading a FIFO would
// block), and leaves out the backup's own output file, its volumes and the work
// folder, which may well lie inside the selection.
class CMyFilesData : public CBackupMangerSource
{
public:
    static constexpr const char* kCatalogueName = "MyFiles.tdat";
    static constexpr std::uint32_t kKind = 4;

    CMyFilesData();

    // The selection: folders are taken whole, files one by one.
    void SetSelection(std::vector<std::string> paths) { m_Selection = std::move(paths); }
    const std::vector<std::string>& GetSelection() const { return m_Selection; }

    int Collect(std::string& catalogueName) override;

    // "C:\Docs\a.txt" -> "C\Docs\a.txt", "\\server\share\a.txt" -> "server\share\a.txt",
    // "/home/u/a.txt" -> "home\u\a.txt"; "/" is read as "\"; "." and empty components
    // are dropped and ".." never leaves the root, so a name cannot climb out of the
    // folder it is restored into.
    static std::string GetEntryName(const std::string& path);
    // The full path with "\" separators, without leading and trailing ones.
    static std::string GetTreePath(const std::string& path);
    // The job's file-type filter: true when the file named `name` is to be backed up.
    static bool PassesFilter(const std::string& name, const CProjectData& job);
    // "*" + the extension with its dot, in lower case ("*.doc"); empty without one.
    static std::string GetFilterKey(const std::string& name);

private:
    int CollectPath(const std::string& path);
    int WalkFolder(const std::string& folder);
    int AddMyFile(const std::string& path, bool directory);

    std::vector<std::string> m_Selection;
    CMyFilesExclusions m_Exclusions;
};
