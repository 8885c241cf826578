#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The parsed command line of tbm. Parse throws CTbmUsageError with a message that
// names the offending argument.
class CTbmOptions
{
public:
    enum class Command
    {
        Help,
        Version,
        Backup,
        Verify,
        List,
        Extract,
        Restore,
        Sources,
        Schedule
    };
    enum class OnError
    {
        Ask,
        Skip,
        Cancel
    };
    // backup --encryption; Keep: the job's method (AES-256 for a job that gets its
    // first password).
    enum class Encryption
    {
        Keep,
        Aes256,
        Traditional
    };
    static constexpr int kKeepType = -1;
    // backup --threads: keep the job's "Threads"; at most this many otherwise.
    static constexpr int kKeepThreads = -1;
    static constexpr int kMaxThreads = 64;
    // restore --existing: keep the user's "ResFileType".
    static constexpr int kKeepExisting = -1;
    // Parts smaller than this cannot hold a file's headers comfortably, and the
    // archive counts volume sizes in a signed 32-bit int.
    static constexpr std::uint64_t kMinVolumeSize = 64 * 1024;
    static constexpr std::uint64_t kMaxVolumeSize = 0x7FFFFFFF;

    // `args` without the program name.
    static CTbmOptions Parse(const std::vector<std::string>& args);
    // "100M" -> 104857600: a number with an optional k, M or G (powers of 1024).
    static std::uint64_t ParseVolumeSize(const std::string& text);

    Command m_command = Command::Help;
    std::string m_strJob;
    std::string m_strOutput;
    int m_nType = kKeepType; // 0 normal, 1 update, 2 synchronise
    std::string m_strPasswordFile;
    std::string m_strPasswordEnv;
    Encryption m_encryption = Encryption::Keep;
    int m_nThreads = kKeepThreads; // 0: one per core
    std::uint64_t m_qwVolumeSize = 0; // 0: keep the job's medium
    OnError m_onError = OnError::Ask;
    bool m_bVerify = true;
    bool m_bJson = false;
    std::string m_strArchive;                // verify, list, extract, restore
    std::string m_strTarget;                 // extract, restore --to
    bool m_bFlat = false;                    // restore --flat
    int m_nExisting = kKeepExisting;         // restore: 0 keep, 1 newer, 2 replace
    std::vector<std::string> m_OnlyPatterns; // restore --only
    std::vector<std::uint32_t> m_Sources;    // backup, restore --source: item kinds
    std::vector<std::string> m_Paths;

    // schedule show|set|remove and what "set" asks for.
    struct Schedule
    {
        std::string action;
        int frequency = 0; // 0 daily, 1 weekly, 2 at log-on
        int weekDay = 0;   // 0 = Sunday
        int hour = 1;
        int minute = 0;
        bool noBattery = false;
        bool showReport = false;
        bool validate = true;
        bool exitWhenDone = true;
    } m_Schedule;

    bool HasPasswordOption() const
    {
        return !m_strPasswordFile.empty() || !m_strPasswordEnv.empty();
    }
};
