#pragma once

#include <cstdint>

// How worker threads talk to the window that started them: they post a message
// number and two parameters and never touch the window itself. The GUI queues the
// message to its own thread, the command line prints progress, tests record it.
// post may be called from any thread.
class CNotify
{
public:
    virtual ~CNotify() = default;
    virtual void post(unsigned message, std::uintptr_t first, std::intptr_t second) = 0;
};

namespace notify {

inline constexpr unsigned kUserBase = 1024;
// first = the progress object (CBackupProgress*), second 0.
inline constexpr unsigned kProgress = kUserBase + 101;
// first 0, second = a heap copy of the path (char*, new[]); the receiver frees it.
inline constexpr unsigned kScanning = kUserBase + 103;
// To the collection window, no parameters.
inline constexpr unsigned kCollectDone = kUserBase + 104;
// first = one of the event codes below, second = its value.
inline constexpr unsigned kEvent = kUserBase + 105;
// The last message of every collection, whatever its result: first = the result code
// (0 done, 7 cancelled, 12 stopped, ...). Posted after the collection's events are
// reset, so the receiver may join the collection thread at once.
inline constexpr unsigned kCollectEnded = kUserBase + 106;
// The last message of every worker run (backup, verification, restore), posted after
// its report is saved: the receiver may join the worker at once. No parameters.
inline constexpr unsigned kWorkerEnded = kUserBase + 107;

// Event codes of kEvent.
inline constexpr int kObsoleteCount = 0;  // entries the synchronise run deletes
inline constexpr int kAddedCount = 1;     // new files (normal run: files processed)
inline constexpr int kReplacedCount = 2;  // stored files replaced
inline constexpr int kUnchangedCount = 3; // files left unchanged
inline constexpr int kBackupDone = 10;
inline constexpr int kBackupFailed = 11; // ended by error or cancel
inline constexpr int kFilePath = 12;     // second = const char* valid while the job runs
inline constexpr int kFileNumber = 13;   // 1-based
inline constexpr int kFileCount = 14;
inline constexpr int kVerifyName = 15;  // second = const char* valid while the job runs
inline constexpr int kVerifyEnded = 16; // second = failed entries, or kVerifyUnreadable
inline constexpr int kVerifyPassed = 17;
// The value of kVerifyEnded when the archive could not be opened at all: no entry was
// tested, which is no "0 damaged entries".
inline constexpr std::intptr_t kVerifyUnreadable = -1;

} // namespace notify
