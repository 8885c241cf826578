#pragma once

#include "BackupRun.h"
#include "UpdateRule.h"
#include "ZipContainer.h"

#include <array>
#include <cstdint>
#include <vector>

// The update and synchronise runs. The new archive takes every file that is new or
// changed from the disk and every other entry from the previous backup as it is
// stored (compressed and, where it is, encrypted: no recompression), so the run
// reads the old archive once from front to back and never moves data inside it.
// A changed file that cannot be read keeps its stored entry. The update run keeps
// the entries no file of this run stands for; the synchronise run leaves them out.
// When nothing changed at all, the previous backup stays as it is.
class CUpdateRun : public CBackupRun
{
public:
    CUpdateRun(BackupRunParts parts, bool synchronise);
    ~CUpdateRun() override;

protected:
    bool OpenSources() override;
    std::uint64_t EstimateNeeded() const override;
    bool ProcessFiles() override;
    bool IsUpToDate() const override;
    void ReportUpToDate() override;
    void CloseSources() override;

private:
    enum Action
    {
        kAddNew = 1,   // notify::kAddedCount
        kReplace = 2,  // notify::kReplacedCount
        kLeave = 3,    // notify::kUnchangedCount
        kRefresh = 4,  // left, with the file's new time and mode
    };
    struct Plan
    {
        Action action = kAddNew;
        int index = -1;   // of the stored entry
        std::string name; // under which the archive stores the file
    };

    bool OpenOld();
    bool CheckOldPassword(const std::string& path);
    void RefuseOldPassword(const std::string& path);
    std::time_t RacyFrom();
    void Decide();
    Plan DecideOne(const CAddInfo& item, const CUpdateRule& rule);
    bool StoredCrcOf(const CZipEntryHeader& stored, std::uint32_t& crc);
    bool WriteOne(const CAddInfo& item, const Plan& plan, bool& stop);
    bool KeepEntry(int index, const CAddInfo* item, bool refresh);
    bool IsInNewArchive(const std::string& name);
    bool FinishEntries();
    void LogCounts(std::size_t obsolete);
    std::size_t CountUnmatched() const;

    bool m_synchronise;
    CZipContainer m_old;
    bool m_hasOld = false;
    std::vector<Plan> m_plans;
    std::vector<std::uint8_t> m_matched; // per entry of the old archive
    std::array<std::intptr_t, 5> m_counts{};
};
