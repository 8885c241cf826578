#pragma once

// The event codes of a restore run (message notify::kEvent, see Notify.h).
//
// Ownership: the heading of kRestoreSection travels as a heap std::string* that the
// receiver takes over and deletes after showing it; a receiver that ignores the code
// must still delete it. The path of kRestorePath is a const char* into the run's plan,
// valid until the next restore starts.
namespace notify {

inline constexpr int kRestoreSection = 4;      // second = std::string* (receiver deletes)
inline constexpr int kRestorePath = 5;         // second = const char*, target path
inline constexpr int kRestoreDone = 6;         // restore finished, second 0
inline constexpr int kRestoreStarted = 7;      // second 0
inline constexpr int kRestoreSectionEnded = 8; // second = the section's planned bytes

} // namespace notify
