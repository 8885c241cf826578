#pragma once

// What a tbm run tells the script that started it.
namespace tbmexit {

inline constexpr int kSuccess = 0;
inline constexpr int kFailed = 1; // the run failed, or the backup is damaged
inline constexpr int kUsage = 2;  // the command line could not be used
inline constexpr int kCancelled = 3;

} // namespace tbmexit
