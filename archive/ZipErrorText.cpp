// The texts of the archive's error codes and of the runtime library's error numbers.
#include "ZipException.h"

#include <cstring>
#include <string>

namespace {

const char* const kRuntimeTexts[31] = {
    nullptr,
    "Not super-user",
    "No such file or directory",
    nullptr,
    "Interrupted system call",
    "I/O error",
    "No such device or address",
    nullptr,
    nullptr,
    "Bad file number",
    nullptr,
    nullptr,
    "Not enough space",
    "Permission denied",
    "Bad address",
    nullptr,
    nullptr,
    "File exists",
    "Cross-device link",
    "No such device",
    "Not a directory",
    "Is a directory",
    "Invalid argument",
    "File table overflow",
    "Too many open files",
    nullptr,
    nullptr,
    "File too large",
    "No space left on device",
    "Illegal seek",
    "Read-only file system",
};

// The system's own message for an error number; "Unknown error" without one.
std::string SystemText(int systemError)
{
    if (systemError == 0)
        return "Unknown error";
    char buffer[256];
    // GNU strerror_r: returns the text, which need not be in `buffer`.
    const char* text = strerror_r(systemError, buffer, sizeof buffer);
    return text && *text ? std::string(text) : std::string("Unknown error");
}

const char* FixedText(int cause)
{
    switch (cause) {
    case CZipException::ErrDamaged:
        return "Damaged or not a zip file";
    case CZipException::ErrCrc:
        return "Crc mismatched";
    case CZipException::ErrNoDiskCallback:
        return "No disk-spanning callback functor set";
    case CZipException::ErrDiskChangeAborted:
        return "Disk change aborted";
    case CZipException::ErrAborted:
        return "Action aborted";
    case CZipException::ErrAbortedSafely:
        return "Action aborted safely";
    case CZipException::ErrNotRemovable:
        return "The device selected for the disk spanning archive is non removable";
    case CZipException::ErrVolumeLimit:
        return "Limit of the maximum volumes reached (999)";
    case CZipException::ErrNameTooLong:
        return "The filename of the file being added to the archive is too long";
    case CZipException::ErrBadPassword:
        return "Incorrect password set for the file being decrypted";
    case CZipException::ErrDirectoryWithSize:
        return "During testing found the directory with the size greater than 0";
    case CZipException::ErrInternal:
        return "Internal error";
    case CZipException::ErrSystemUnsupported:
        return "Cannot create the file for the specified platform";
    case CZipException::ErrNoCentralDirectory:
        return "The central directory was not found in the archive (or you were trying to "
               "open not the last disk of a multi-disk archive)";
    case CZipException::ErrAuthentication:
        return "The encrypted data failed its authentication check: it was changed or is "
               "damaged";
    case CZipException::ErrZlibStreamEnd:
        return "Zlib Library error (end of stream)";
    case CZipException::ErrZlibStream:
        return "Zlib library error (stream error)";
    case CZipException::ErrZlibData:
        return "Zlib library error (data error)";
    case CZipException::ErrNoMemory:
        return "Not enough memory";
    case CZipException::ErrZlibBuffer:
        return "Zlib library error (buffer error)";
    case CZipException::ErrZlibVersion:
        return "Zlib library error (version error)";
    default:
        return nullptr;
    }
}

} // namespace

bool CZipException::HasRuntimeErrorText(int number)
{
    return number > 0 && number <= 30 && kRuntimeTexts[number] != nullptr;
}

const char* CZipException::RuntimeErrorText(int number)
{
    return HasRuntimeErrorText(number) ? kRuntimeTexts[number] : "Unknown error";
}

std::string CZipException::Describe(int cause, int systemError)
{
    if (const char* text = FixedText(cause))
        return text;
    if (cause == ErrRemove)
        return "Error while removing a file (" + SystemText(systemError) + ")";
    if (cause == ErrRename)
        return "Error while renaming a file (" + SystemText(systemError) + ")";
    if (cause >= 1 && cause <= 30)
        return RuntimeErrorText(cause);
    // 100, 501, 502 (zlib's errno case: the runtime error number and the system error
    // are the same number here) and every unknown code: the system's text.
    return SystemText(systemError);
}
