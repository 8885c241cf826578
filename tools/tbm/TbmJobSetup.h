#pragma once

#include <string>
#include <vector>

class CTbmOptions;

// Makes the current job (g_ProjectData) the one a backup command asks for:
// - --job NAME: the saved job NAME, or a new job of that name when PATHs are given;
// - PATHs only: the command line's own job "Command Line", fresh on every run (the
//   options alone decide its settings), so repeated runs of a script keep one job
//   folder instead of piling up new ones;
// - neither: the default job "My Documents", the documents folder into
//   documents/"My Backups".
// Then the options override the job's settings. Throws CTbmUsageError for what the
// user must change, std::runtime_error for a saved job that cannot be read.
class CTbmJobSetup
{
public:
    static constexpr const char* kDefaultJobName = "My Documents";
    static constexpr const char* kPathsJobName = "Command Line";

    // The paths to back up; empty when the job's saved selection is to be used.
    static std::vector<std::string> Prepare(const CTbmOptions& options,
                                            const std::string& password);
    // The paths made absolute; a path that does not exist is a usage error.
    static std::vector<std::string> CheckPaths(const std::vector<std::string>& paths);

private:
    static void ChooseJob(const CTbmOptions& options, bool defaultJob);
    static void NameNewJob(const std::string& name);
    static void ApplyOutput(const std::string& output);
    static void ApplyOptions(const CTbmOptions& options, const std::string& password);
};
