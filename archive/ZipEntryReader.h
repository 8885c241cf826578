#pragma once

#include "ZipAesCrypt.h"
#include "ZipBuffer.h"
#include "ZipCrypt.h"
#include "ZipDirectory.h"
#include "ZipInflate.h"
#include "ZipProgressCallback.h"
#include "ZipVolumeStore.h"
#include "ZipWholeInflate.h"

#include <cstdint>
#include <functional>
#include <string>

// Reads one entry of an archive at a time: checks its local header against the
// central record, decrypts (traditional or AES, with the authentication code),
// inflates or copies its data, checks the CRC and the data descriptor. The archive
// object opens and closes entries through it and keeps the rest of the archive.
//
// Errors are thrown as CZipException with the archive's path; a failed Open or
// Close leaves the reader ended, ready for the next entry.
class CZipEntryReader
{
public:
    // What the reader works on, owned by the archive object: the compressed input
    // passes through its general buffer, which it allocates before Open.
    struct Context
    {
        CZipVolumeStore& storage;
        const CZipDirectory& directory;
        CZipBuffer& buffer;
        const std::string& password;
    };

    explicit CZipEntryReader(const Context& context) : m_context(context) {}
    CZipEntryReader(const CZipEntryReader&) = delete;
    CZipEntryReader& operator=(const CZipEntryReader&) = delete;

    // Checks the local header and the password (101, 110) and sets up the data.
    // `header` must stay where it is until the entry is ended.
    void Open(const CZipEntryHeader& header);
    bool IsOpen() const { return m_header != nullptr; }
    // The bytes produced (0 at the end or with no entry open).
    std::uint32_t Read(void* buffer, std::uint32_t size);
    // Ends the entry: 1, -1 when data was left unread, -2 when the time or
    // attributes could not be set on `path`; throws 102 for a CRC mismatch.
    int Close(const std::string& path, bool afterException);
    // Forgets the entry without reading anything more.
    void End();

    using ChunkSink = std::function<void(const char*, std::uint32_t)>;
    // Reads the open entry to its end in chunks of `bufferSize`, handing each to
    // `sink`. Sets `abortCode` when the callback stops it.
    std::uint64_t CopyTo(const ChunkSink& sink, std::uint32_t bufferSize,
                         CZipProgressCallback* callback, int& abortCode);
    // The CRC of the data produced so far.
    std::uint32_t GetCrc() const { return m_crc; }

private:
    [[noreturn]] void Throw(int cause) const;
    const std::string& GetArchivePath() const { return m_context.storage.GetArchivePath(); }

    void CheckLocalHeader(const CZipEntryHeader& header);
    static bool LocalSizesAgree(const CZipEntryHeader& header, const char* local,
                                const std::string& zip64);
    void CheckDataFits(const CZipEntryHeader& header, std::uint64_t dataStart) const;
    void StartDecryption(const CZipEntryHeader& header);
    void StartAesDecryption(const CZipEntryHeader& header);
    void CheckAuthentication();
    bool FillInput();
    void Decrypt(char* data, std::uint32_t size);
    std::uint32_t Produce(char* out, std::uint32_t room, bool& ended);
    std::uint32_t ProduceWhole(char* out, std::uint32_t room, bool& ended);
    void SkipUnreadData();
    void ReadDescriptor(const CZipEntryHeader& header);
    int AbortCode(std::uint32_t chunk, std::uint32_t bufferSize) const;

    Context m_context;
    const CZipEntryHeader* m_header = nullptr; // the open entry
    CZipCrypt m_crypt;
    CZipAesCrypt m_aes;
    CZipInflate m_inflate;
    CZipWholeInflate m_whole;
    bool m_inflates = false;
    bool m_readWhole = false; // inflated in one call through m_whole
    bool m_decrypts = false;
    bool m_readAes = false;
    std::uint64_t m_compressedLeft = 0;   // still in the file
    std::uint64_t m_uncompressedLeft = 0; // still to be produced
    bool m_zip64Descriptor = false;       // the local header has zip64 sizes
    std::uint32_t m_crc = 0;
    std::uint32_t m_inputPosition = 0; // unused input in the general buffer
    std::uint32_t m_inputLength = 0;
};
