#pragma once

#include <cstddef>
#include <exception>
#include <string>

// An archive error: a cause code and the file it concerns (the archive, a volume, or
// the file being added or extracted; may be empty). Thrown by value and caught by
// reference. File-system errors travel as this class too (FromErrno), with the
// runtime library's error number as cause, so one handler sees every failure of an
// archive operation and can still tell "access denied" (13) from the rest.
//
// The system error number in effect when the error was raised is kept with the
// exception: the "system's text" of a description is taken from it, not from the
// thread's errno at the time someone asks, which later calls may have changed.
class CZipException : public std::exception
{
public:
    enum Cause
    {
        ErrGeneric = 100,
        ErrDamaged = 101,
        ErrCrc = 102,
        ErrNoDiskCallback = 103,
        ErrDiskChangeAborted = 104,
        ErrAborted = 105,
        ErrAbortedSafely = 106,
        ErrNotRemovable = 107,
        ErrVolumeLimit = 108,
        ErrNameTooLong = 109,
        ErrBadPassword = 110,
        ErrDirectoryWithSize = 111,
        ErrInternal = 112,
        ErrRemove = 113,
        ErrRename = 114,
        ErrSystemUnsupported = 115,
        ErrNoCentralDirectory = 116,
        ErrAuthentication = 117, // encrypted data changed after it was written
        ErrZlibStreamEnd = 500,
        ErrZlibNeedDict = 501,
        ErrZlibErrno = 502,
        ErrZlibStream = 503,
        ErrZlibData = 504,
        ErrNoMemory = 505,
        ErrZlibBuffer = 506,
        ErrZlibVersion = 507,
    };

    explicit CZipException(int cause = ErrGeneric, std::string fileName = {}, int systemError = 0);

    // A file-system failure with error number `error` (an errno value): numbers that
    // have a runtime-library text (1-30) become the cause themselves, any other one
    // becomes 100 with the system's text for it.
    static CZipException FromErrno(int error, std::string fileName = {});

    // The cause for a zlib result (Z_STREAM_END 500 ... Z_VERSION_ERROR 507, else 100).
    static int CauseOfZlibResult(int result);
    // Throws for every zlib result but Z_OK and Z_NEED_DICT.
    static void ThrowIfZlibError(int result, const std::string& fileName = {});

    int GetCause() const { return m_cause; }
    const std::string& GetFileName() const { return m_fileName; }
    int GetSystemError() const { return m_systemError; }

    std::string GetErrorDescription() const { return m_description; }
    // Copies the description, cut to capacity - 1 characters, with a terminating
    // zero. False for a null buffer, a capacity of 0 or an empty description.
    bool GetErrorMessage(char* buffer, std::size_t capacity) const;
    const char* what() const noexcept override { return m_description.c_str(); }

    // The description of `cause` when the system error number was `systemError`.
    static std::string Describe(int cause, int systemError);
    // The runtime library's text for error numbers 1-30; "Unknown error" otherwise.
    static const char* RuntimeErrorText(int number);
    // True when `number` has a text of its own in the runtime library's table.
    static bool HasRuntimeErrorText(int number);

private:
    int m_cause;
    std::string m_fileName;
    int m_systemError;
    std::string m_description;
};
