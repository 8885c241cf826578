#pragma once

// The result codes of engine and data-source operations: 0 is success; the codes
// index a fixed table of names and descriptions that messages and the
// Skip/Retry/Cancel prompt show.
namespace result {

inline constexpr int kSuccess = 0;
inline constexpr int kNoOutlook = 1;
inline constexpr int kNoOEIdentities = 2;
inline constexpr int kOEUnsupported = 3;
inline constexpr int kNoOERegistry = 4;
inline constexpr int kFileLocked = 5;
inline constexpr int kReadError = 6;
inline constexpr int kCancel = 7;
inline constexpr int kSkip = 8;
inline constexpr int kInvalidBackup = 9;
inline constexpr int kExtractError = 10;
inline constexpr int kBadPassword = 11;
inline constexpr int kAbortScan = 12;
inline constexpr int kNothingToRestore = 13;
inline constexpr int kNoFonts = 14;
inline constexpr int kTestError = 15;
inline constexpr int kRestoreCancel = 16;
inline constexpr int kCount = 17;

// Name and description of a code; empty for codes outside the table.
const char* GetName(int code);
const char* GetDescription(int code);

} // namespace result
