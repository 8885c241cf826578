#pragma once

#include "JobRun.h"
#include "ZipEntryWorkers.h"

#include <cstdint>
#include <string>
#include <vector>

class CZipContainer;

// The verification run: opens the job's output file read-only and tests every entry,
// reporting the names (code 15) and the verdict (16 with the failures, 17 passed; 16
// with kVerifyUnreadable when the archive cannot be opened). `names` belongs to the
// engine: the names posted with code 15 point into it until the next run. Entries
// are tested on the job's "Threads", each with an archive object of its own.
class CVerifyRun : public CJobRun
{
public:
    CVerifyRun(CHtmlReport& report, CBackupProgress& progress, CZipContainer& archive,
               int volumeSize, std::vector<std::string>& names);
    void Run();

private:
    bool Open(const std::string& path);
    bool ReadEntryNames(std::uint64_t& sum);
    bool TestEntries(std::uint32_t& failures);
    bool Judge(int index, const CZipEntryWorkers::Result& result, std::uint32_t& failures);
    void End(bool stopped, std::uint32_t failures);
    void CloseArchive();

    CZipContainer& m_archive;
    int m_volumeSize;
    std::vector<std::string>& m_names;
};
