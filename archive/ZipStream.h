#pragma once

#include <cstdint>
#include <string>

// The random-access stream under the volume store: a disk file (CZipFile), a block
// of memory (CZipMemoryFile) or a wrapper around one of them. Positions and lengths
// are 64-bit; a single read or write moves at most a buffer, so its count is 32-bit.
// Failures are thrown as CZipException.
class CZipStream
{
public:
    // Open flags (the values are those of the framework's file class).
    enum OpenFlags : unsigned
    {
        OpenRead = 0x0000,
        OpenWrite = 0x0001,
        OpenReadWrite = 0x0002,
        ShareDenyWrite = 0x0020, // nobody else may write while it is open
        OpenCreate = 0x1000,     // create; truncate unless OpenNoTruncate
        OpenNoTruncate = 0x2000,
    };
    enum SeekOrigin
    {
        FromBegin = 0,
        FromCurrent = 1,
        FromEnd = 2
    };

    // Opens `path`. On failure throws when `throwOnError`, else returns false.
    virtual bool Open(const std::string& path, unsigned flags, bool throwOnError) = 0;
    virtual void Close() = 0;
    // Makes written data durable (a disk file is synced to its device).
    virtual void Flush() = 0;
    virtual std::uint64_t GetPosition() const = 0;
    // Moves to `offset` from `origin` and returns the new position; a position
    // before the start (22) or beyond what the stream can hold (27) is refused and
    // nothing moves.
    virtual std::uint64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
    virtual std::uint64_t GetLength() const = 0;
    // Sets the length (new bytes read as zero); a position behind the new end moves
    // back to it.
    virtual void SetLength(std::uint64_t length) = 0;
    virtual void SeekToBegin() { Seek(0, FromBegin); }
    virtual std::uint64_t SeekToEnd() { return Seek(0, FromEnd); }
    virtual std::string GetFilePath() const = 0;
    // Reads up to `count` bytes; fewer only at the end of the data.
    virtual std::uint32_t Read(void* buffer, std::uint32_t count) = 0;
    // Writes all `count` bytes or throws.
    virtual void Write(const void* buffer, std::uint32_t count) = 0;
    virtual bool IsClosed() const = 0;
    virtual ~CZipStream() = default;

    // The file descriptor of an open disk file, for memory mapping; -1 otherwise.
    virtual int GetHandle() const { return -1; }

    CZipStream() = default;
    CZipStream(const CZipStream&) = delete;
    CZipStream& operator=(const CZipStream&) = delete;
};
