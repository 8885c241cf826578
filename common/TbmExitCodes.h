#pragma once

// How a run that nobody watches ends: the exit codes of tbm and of an unattended
// TBManager run ("-e"), so a script or a scheduler reads both the same way.
namespace tbmexit {

inline constexpr int kSuccess = 0; // done (and verified when verification was asked)
inline constexpr int kFailed = 1;  // the run failed, or the backup is damaged
inline constexpr int kUsage = 2;   // the command line could not be used
inline constexpr int kCancelled = 3;

} // namespace tbmexit
