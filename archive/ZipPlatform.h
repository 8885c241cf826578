#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// The file-system helpers of the archive, on native paths. They report failure by
// their result (errno tells why), except where an error code is named.
namespace ZipPlatform {

// Attributes as archive entries carry them here: the Unix mode in the high 16 bits
// and the Windows bits derived from it (0x10 folder, 0x01 when the owner may not
// write).
bool GetFileAttributes(const std::string& path, std::uint32_t& attributes);
// Attributes and modification time of `path` itself: a symbolic link is not followed
// and gives its own mode (file type S_IFLNK) and time, even when it dangles.
bool GetLinkStatus(const std::string& path, std::uint32_t& attributes, std::time_t& modified);
// Opens a regular file for reading, without a lock and without following a final
// symbolic link, and gives its attributes, time and size from the open file; -1 for
// a link, a folder, anything else that is not a regular file, or an error.
// `stamp`, when given, takes the modification time in nanoseconds (see ModifiedStamp).
int OpenRegularFile(const std::string& path, std::uint32_t& attributes, std::time_t& modified,
                    std::uint64_t& size, std::int64_t* stamp = nullptr);
// The modification time of an open file in nanoseconds; -1 when it cannot be read.
// Compared before and after reading, it tells a file rewritten in place meanwhile,
// even at the same size.
std::int64_t ModifiedStamp(int fd);
// The bytes a symbolic link points to.
bool ReadLinkTarget(const std::string& path, std::string& target);
// The permission bits SetFileAttributes gives for `attributes`.
unsigned ModeFromAttributes(std::uint32_t attributes);
// Sets the permission bits from the high 16 bits (or, without them, from the
// read-only and folder bits). Set-user-id, set-group-id and sticky bits are never
// set: an archive must not hand out privileges when it is restored.
bool SetFileAttributes(const std::string& path, std::uint32_t attributes);

// The same for an open file.
bool SetDescriptorAttributes(int fd, std::uint32_t attributes);
bool SetDescriptorModTime(int fd, std::time_t modified);

bool GetFileModTime(const std::string& path, std::time_t& modified);
// Sets the modification time (-1: now); the access time becomes now.
bool SetFileModTime(const std::string& path, std::time_t modified);

// Size of an existing regular file (64-bit: callers that store 32-bit sizes must
// refuse what does not fit rather than cut it).
bool GetFileSize(const std::string& path, std::uint64_t& size);

// 0 missing, 1 a file (anything but a folder), -1 a folder.
int FileExists(const std::string& path);

// Creates `path` and its missing parents (trailing separators ignored). True when
// the folder exists afterwards.
bool ForceDirectory(const std::string& path);

// Remove and rename a file; on failure throw 113 / 114 (CZipException with the path
// and the system's error) when `throwOnError`, else return false. RenameFile never
// replaces an existing file unless `replace` is set, in which case the target is
// replaced in one step (no moment without either file).
bool RemoveFile(const std::string& path, bool throwOnError = true);
bool RenameFile(const std::string& from, const std::string& to, bool throwOnError = true,
                bool replace = false);

// A new, empty temporary file for `size` bytes: in the system temporary folder when
// its drive has that many free bytes, else in the current folder when its drive has;
// named "VRN" + hexadecimal number + ".tmp". Empty when no folder qualifies or no
// name could be made.
std::string GetTempFileNameFor(std::uint64_t size);

// True when the drive that holds `path` is removable.
bool IsDriveRemovable(const std::string& path);
// Labels the drive that holds `path`.
bool SetVolumeLabel(const std::string& path, const std::string& label);

// Name conversion between the system code page ("ANSI": UTF-8 here) and the OEM
// code page of MS-DOS archives (CP437). False, leaving the name unchanged, when the
// name cannot be converted (invalid UTF-8, or a character CP437 does not have).
bool AnsiToOem(std::string& name);
bool OemToAnsi(std::string& name);

} // namespace ZipPlatform
