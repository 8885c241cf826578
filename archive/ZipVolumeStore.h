#pragma once

#include "ZipBuffer.h"
#include "ZipSpanCompaction.h"
#include "ZipStream.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CZipDiskCallback;

// The layer under the archive object: owns the archive file (or uses a caller's
// stream), buffers writes, splits a spanned archive into volumes (fixed-size files
// title.000, title.001, ... in one folder, or one file of the same name per
// removable disk), asks for disks through the disk callback, finds the right volume
// when reading, and turns a spanned archive that fits on its first volume back into
// an ordinary one.
//
// Data safety: a write that fails is undone on the file (the appended part cut off,
// the position put back) and the buffer kept, so the store's idea of every volume
// matches the disk and a later flush can go on; if even the undo fails the store
// refuses all further writes. A fixed-size archive gets its final ".tbm" name only
// when it is closed normally, after its last volume is synced, so an interrupted
// backup never leaves a set that looks complete. Volumes on removable disks are
// synced before the next disk is asked for.
//
// Not thread-safe: one thread uses the archive at a time.
class CZipVolumeStore
{
public:
    enum SpanMode
    {
        SpanNone = 0,
        SpanRemovable = 1,
        SpanFixedSize = 2,
        SpanDetect = 3,    // opened, not yet known (volume size 0 given)
        SpanFixedHint = 4, // opened, not yet known (volume size given)
    };
    enum OpenMode
    {
        ModeOpen = 0,
        ModeReadOnly = 1,
        ModeCreate = 2,
        ModeCreateSpanned = 3
    };

    static constexpr std::uint32_t SpanSignature = 0x08074B50;
    static constexpr int MaxVolumes = 999;
    static constexpr std::uint32_t DefaultWriteBufferSize = 65536;
    static constexpr std::uint32_t MinWriteBufferSize = 1024;

    CZipVolumeStore() = default;
    ~CZipVolumeStore();
    CZipVolumeStore(const CZipVolumeStore&) = delete;
    CZipVolumeStore& operator=(const CZipVolumeStore&) = delete;

    // At least 1,024; only while closed (false otherwise).
    bool SetWriteBufferSize(std::uint32_t size);
    std::uint32_t GetWriteBufferSize() const { return m_bufferSize; }

    // Opens the archive file. Modes 0 and 1 open an existing file read/write or
    // read-only; 2 creates a single file; 3 starts a spanned archive: fixed-size
    // volumes of `volumeSize` bytes, or removable disks for a size of 0 (which needs
    // the disk callback: 103). Failures leave the store closed.
    void Open(const std::string& path, int mode, std::int64_t volumeSize);
    // An archive in the caller's stream: mode 2 empties it, 0 and 1 rewind it.
    void Open(CZipStream& stream, int mode);

    // Reads `size` bytes; a non-atomic read of a spanned archive goes on across
    // volumes, anything else short is 101.
    std::uint32_t Read(void* buffer, std::uint32_t size, bool atomic);
    // Writes `size` bytes. While a spanned archive is created an atomic write (a
    // whole record) never straddles two volumes.
    void Write(const void* data, std::uint32_t size, bool atomic);
    void Flush();

    // Reading a spanned archive: makes volume `number` (0-based) current.
    void ChangeVolume(int number);
    // After the end record is read: `thisVolume` is its volume number.
    void UpdateSpanMode(int thisVolume);

    // The central directory of a spanned archive being created is about to be
    // written and `directorySize` bytes long (records, end record, comment). When
    // the archive is still on volume 0 and what is left there takes the directory
    // once the signature and the descriptors are gone, compacts the volume into an
    // ordinary archive (CompactSpannedVolume: `entries` are updated) and returns
    // true; the directory is then written as for a single file. False: the archive
    // stays spanned and nothing changed.
    bool ConvertToSingleVolume(std::vector<CZipSpanEntry>& entries, std::uint32_t directorySize);
    // After a failure while writing the directory of a converted archive: ends the
    // spanned state and reopens the one volume as an ordinary archive file.
    void FinishSpan();
    // Closes and returns the final path of the archive. Unless after an exception,
    // flushes and syncs first, and a fixed-size archive being created gets its last
    // volume renamed to the ".tbm" name (error 114 when that fails).
    std::string Close(bool afterException);

    // 1 while a spanned archive is created, -1 for a spanned archive read, else 0.
    int IsSpanMode() const;
    int GetSpanMode() const { return m_spanMode; }
    bool IsOpen() const { return m_currentVolume >= 0; }
    bool IsReadOnly() const { return m_readOnly; }
    bool IsInMemory() const { return m_inMemory; }
    // True between a successful ConvertToSingleVolume and the close.
    bool IsConverted() const { return m_converted; }
    int GetCurrentVolume() const { return m_currentVolume; }
    int GetLastVolume() const { return m_lastVolume; }
    // Where the next byte written lands on the current volume.
    std::uint64_t GetPosition() const;
    // True when the next write lands at the end of the current file (what is
    // buffered goes at the stream's position, which is its end).
    bool IsAtEnd() const;
    // Bytes that still fit on the current volume while a spanned archive is created.
    std::uint64_t GetSpaceLeft() const;
    const std::string& GetArchivePath() const { return m_path; }
    // The stream of the current volume, flushed, for seeking and patching in place.
    CZipStream& GetStream();

    // Name of fixed-size volume `number`: title + ".%.3d" in the archive's folder.
    std::string GetVolumeName(int number) const;
    // The name the last fixed-size volume gets: title + ".tbm" in that folder.
    std::string GetFinalName() const;

    CZipDiskCallback* m_pDiskCallback = nullptr; // set by the owner; not owned

private:
    // Tells a volume file again when its disk is put back: device and inode, and
    // size and time, since removable file systems may hand out inode numbers anew.
    struct FileId
    {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        std::int64_t modifiedNs = 0;
        bool operator==(const FileId&) const = default;
    };
    static FileId IdOf(const struct stat& status);

    void Reset();
    void OpenFile(const std::string& path, int mode, std::int64_t volumeSize);
    void AbandonOpen(bool removeVolume);
    void StartSpanned(std::int64_t volumeSize);
    void AllocateBuffer();
    void RequireOpen() const;
    CZipStream& CurrentStream();
    void RequireWritable() const;
    bool IsSpannedReading() const;
    bool SplitsWrites() const { return m_creating && !m_converted; }

    void WriteSpanned(const char* data, std::uint32_t size, bool atomic);
    void Buffer(const char* data, std::uint32_t size);
    void WriteOut(const char* data, std::uint32_t size);
    void UndoFailedWrite(std::uint64_t position, std::uint64_t length);

    void NextVolume(std::uint32_t bytesNeeded);
    void CreateFixedVolume();
    void AskForRemovableDisk(std::uint32_t bytesNeeded);
    bool TryRemovableDisk(int& code, bool& labelWaived, int bytesCode);
    void CallDiskCallback(int code, int diskNumber);
    void CloseVolume(bool written);
    void NextReadVolume();
    void OpenVolumeForReading(const std::string& path);
    std::uint64_t DriveFreeSpace() const;
    bool IsWrittenVolume(const std::string& path) const;

    bool CompactInBuffer(std::vector<CZipSpanEntry>& entries);
    bool CompactInFile(std::vector<CZipSpanEntry>& entries);

    std::string m_path;
    std::unique_ptr<CZipStream> m_file; // the current volume's file, unless in memory
    CZipStream* m_stream = nullptr;     // m_file, or the caller's stream
    CZipBuffer m_buffer;
    std::uint32_t m_bufferSize = DefaultWriteBufferSize;
    std::uint32_t m_buffered = 0;

    int m_spanMode = SpanNone;
    bool m_creating = false;
    bool m_converted = false;       // compacted to one volume; writes no longer split
    std::uint64_t m_volumeSize = 0; // fixed-size volumes, as requested
    int m_lastVolume = 0;           // reading a spanned archive
    std::uint64_t m_freeSpace = 0;  // removable: free bytes; fixed-size: this volume's limit
    std::uint64_t m_flushedToVolume = 0;
    int m_currentVolume = -1;
    bool m_inMemory = false;
    bool m_readOnly = false;
    bool m_broken = false;                // a failed write could not be undone
    std::vector<FileId> m_writtenVolumes; // removable disks written so far
};
