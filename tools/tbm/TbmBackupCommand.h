#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CBackupManger;
class CCheckTreeModel;
struct InstalledSources;
class CTbmOptions;
class CTbmProgress;

// tbm backup: runs the engine as the wizard does (reset, backup mode, report header,
// collect, catalogue, the run, then the verification unless --no-verify) with the
// job, sources and selection the options choose, and tells where the backup and its report
// are. Ctrl+C cancels through the job's events; the archive is closed whole.
class CTbmBackupCommand
{
public:
    explicit CTbmBackupCommand(const CTbmOptions& options);
    ~CTbmBackupCommand();
    CTbmBackupCommand(const CTbmBackupCommand&) = delete;
    CTbmBackupCommand& operator=(const CTbmBackupCommand&) = delete;

    int Run();

private:
    bool Names(std::uint32_t kind) const;
    void ChooseSources(CCheckTreeModel& tree, const InstalledSources& sources);
    int Collect(CBackupManger& engine, CTbmProgress& progress);
    int Backup(CBackupManger& engine, CTbmProgress& progress);
    int Verify(CBackupManger& engine, CTbmProgress& progress);
    void TellWhere() const;

    const CTbmOptions& m_options;
    std::string m_strPassword;
    std::string m_strWorkFolder;
};
