#pragma once

#include "ZipAddInfo.h"
#include "ZipAesCrypt.h"
#include "ZipBuffer.h"
#include "ZipCrypt.h"
#include "ZipDeflate.h"
#include "ZipDirectory.h"
#include "ZipEntryReader.h"
#include "ZipExtractor.h"
#include "ZipProgressCallback.h"
#include "ZipVolumeStore.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

class CZipFile;
class CZipPreparedFile;

// The archive object: creates, opens, adds to, replaces in, deletes from and closes
// a ZIP archive over the volume store. Writing an entry goes OpenNewFile,
// WriteNewFile..., CloseNewFile; AddNewFile does that for a file or folder on disk
// with the smart storage rules.
//
// Data safety: an entry that fails half-way is dropped from the directory (and cut
// off the end of the file where it was appended), so closing after an exception
// with the directory written (mode 2) lists only whole entries. Sizes and offsets
// are 64-bit; the zip64 records are written where a value needs them and only there.
// An entry written without a known size of at least Zip64LocalThreshold has a
// 32-bit local header: should it still grow past 4 GiB it fails (error 27) and is
// dropped like any failed entry.
//
// Not thread-safe: one thread uses the archive at a time.
class CZipContainer
{
public:
    enum OpenMode
    {
        ArcOpen = 0,
        ArcOpenReadOnly = 1,
        ArcCreate = 2,
        ArcCreateSpanned = 3
    };
    enum CloseMode
    {
        CloseNormal = 0,
        CloseAfterException = 1,
        CloseAfterExceptionWrite = 2 // still writes the central directory
    };
    static constexpr std::uint32_t DefaultBufferSize = 65536;
    static constexpr std::uint32_t DefaultSearchSize = 32768;
    static constexpr std::uint32_t MinBufferSize = 1024;
    static constexpr int ReplaceMarker = 0x100; // low 16 bits of a replacement level word
    // Longest link target extracted; the system refuses longer ones anyway.
    static constexpr std::uint32_t MaxLinkTarget = 65536;

    CZipContainer() = default;
    ~CZipContainer();
    CZipContainer(const CZipContainer&) = delete;
    CZipContainer& operator=(const CZipContainer&) = delete;

    // Write, general and end-record search buffers, each at least 1,024 bytes; only
    // while closed.
    bool SetBuffers(std::uint32_t write, std::uint32_t general, std::uint32_t search);
    // Registers `callback` (null removes) for every type bit set in `mask`.
    void SetCallback(CZipProgressCallback* callback, int mask = CZipProgressCallback::CbAll);
    CZipProgressCallback* GetCallback(int type) const;
    // The callback of `type` (or null), begun for the entry `name` and the file
    // `path` with `total` units.
    CZipProgressCallback* StartProgress(int type, const std::string& name, const std::string& path,
                                        std::uint64_t total);

    // False when already open; errors are thrown and leave the archive closed.
    bool Open(const std::string& path, int mode, std::int64_t volumeSize = 0);
    bool Open(CZipStream& stream, int mode);
    bool IsClosed() const { return !m_storage.IsOpen(); }

    // False while an entry is open, and for a character outside 1-127 (the
    // password is then cleared). Empty clears the password.
    bool SetPassword(const std::string& password);
    const std::string& GetPassword() const { return m_password; }
    // How entries written while a password is set are encrypted: the traditional
    // ZIP encryption every tool reads, or AES-256 in WinZip's form, which holds
    // against attacks. Reading takes either, whatever is set here.
    enum Encryption
    {
        EncryptTraditional = 0,
        EncryptAes256 = 1
    };
    void SetEncryption(int method) { m_encryption = method; }
    int GetEncryption() const { return m_encryption; }

    bool OpenNewFile(const CZipEntryHeader& header, int levelWord = -1,
                     const std::string& path = {}, std::uint64_t size = 0);
    void WriteNewFile(const void* data, std::uint32_t size);
    void CloseNewFile(bool afterException = false);

    bool AddNewFile(const CZipAddInfo& info);
    // AddNewFile for a file the add pipeline read and compressed ahead: the same
    // entry names, progress and cancelling, with the data written as prepared.
    bool AddPreparedFile(const CZipAddInfo& info, CZipPreparedFile& file);
    // True when the file of the last AddNewFile changed size while it was read, or
    // (read ahead by the add pipeline) was written to at all: the entry holds exactly
    // the bytes that were read (sizes and CRC agree with them), which are not what
    // the file held when adding began.
    bool LastFileChangedSize() const { return m_lastChangedSize; }
    void DeleteFiles(std::vector<int> indexes);
    // What a copied entry takes from the file it stands for when only its time or
    // mode changed: the exact time (the DOS time stays, since an encrypted entry's
    // password check may be built from it) and the attributes.
    struct EntryRefresh
    {
        std::time_t modified = 0;
        std::uint32_t attributes = 0;
    };
    bool GetFromArchive(CZipContainer& source, int index, bool keepSystemId = false,
                        int replaceIndex = -1, CZipProgressCallback* callback = nullptr,
                        const EntryRefresh* refresh = nullptr);
    void WriteCentralDirectory();
    void Close(int mode = CloseNormal, bool updateTimeStamp = false);

    // Reading. FindFile: index or -1 (case mode 0 platform default, 1 sensitive, 2
    // insensitive; `nameOnly` compares the last part of the name). GetIndexes looks
    // each name up (mode 0) and appends the indexes found; returns their count.
    int FindFile(const std::string& name, int caseMode = 0, bool nameOnly = false);
    std::size_t GetIndexes(const std::vector<std::string>& names,
                           std::vector<int>& indexes);
    bool GetFileInfo(CZipEntryHeader& info, int index) const;

    // The entry reader: OpenFile checks the local header and the password (101,
    // 110); ReadFile returns the bytes produced (0 at the end); CloseFile returns 1,
    // -1 when data was left unread, -2 when the time or attributes could not be set
    // on `path`, and throws 102 for a CRC mismatch. 0 when no entry is open.
    bool OpenFile(int index);
    std::uint32_t ReadFile(void* buffer, std::uint32_t size);
    int CloseFile(const std::string& path = {}, bool afterException = false);

    // Extracts entry `index` into `folder` (with its folders when `fullPath`, under
    // `newName` when given). Names never lead outside the folder: "..", ".", root
    // and drive parts are dropped and links inside the folder are not followed.
    // A file is written under a temporary name beside the target and renamed onto
    // it only after its CRC checked out (replacing a file or link there, never a
    // folder): a failure, a CRC error (102) or an abort with the data incomplete
    // (105) leaves what was there untouched. A Unix link entry becomes a symbolic
    // link to its stored target.
    bool ExtractFile(int index, const std::string& folder, bool fullPath = true,
                     const std::string& newName = {}, std::uint32_t bufferSize = 65536);
    // Folder entries are made at once but get their mode and time only here, after
    // everything extracted into them: deepest folder first, through descriptors that
    // never follow links. Returns the folders that could not be set. Close (and the
    // destructor) finish what is left.
    std::vector<std::string> FinishFolders();
    // Reads the whole entry and checks its CRC; directories must be empty (111).
    bool TestFile(int index, std::uint32_t bufferSize = 65536);
    // The CRC of the entry's data, computed by reading it (for entries that store
    // none); false when it could not be read whole. Errors are thrown as in TestFile.
    bool GetDataCrc(int index, std::uint32_t& crc);
    // Where ExtractFile puts an entry of that name.
    static std::string PredictExtractedName(const std::string& entryName, const std::string& folder,
                                            bool fullPath, const std::string& newName = {});

    const CZipDirectory& GetDirectory() const { return m_directory; }
    CZipDirectory& GetDirectory() { return m_directory; }
    std::size_t GetCount() const { return m_directory.GetCount(); }
    CZipVolumeStore& GetStorage() { return m_storage; }
    int GetSystemId() const { return m_systemId; }
    void SetSystemId(int system) { m_systemId = system; }
    int GetEntryState() const { return m_entryState; }
    const std::string& GetArchivePath() const { return m_storage.GetArchivePath(); }

private:
    struct AddPlan;

    void ResetState();
    void ReadDirectoryOrClose();
    bool CanAddEntry() const;
    [[noreturn]] void Throw(int cause) const;

    // Entry writing.
    void NormaliseName(CZipEntryHeader& header) const;
    CZipEntryHeader& InsertHeader(std::unique_ptr<CZipEntryHeader> header, int replaceIndex);
    void BeginEntry(CZipEntryHeader& header, int replaceIndex, std::uint64_t needed);
    static void MarkAes(CZipEntryHeader& header);
    static std::string CentralExtra(const std::string& extra);
    void WriteLocalHeader(CZipEntryHeader& header);
    void FlushData();
    void EmitData(char* data, std::uint32_t size);
    void FinishEntry();
    void PatchLocalSizes(const CZipEntryHeader& header);
    void AbandonEntry();
    void CheckEntrySize(std::uint64_t size) const;

    // Adding files.
    bool PlanAdd(const CZipAddInfo& info, AddPlan& plan,
                 const CZipPreparedFile* prepared = nullptr);
    bool AddFolder(AddPlan& plan);
    bool AddFile(AddPlan& plan);
    int AddThroughTrial(AddPlan& plan);
    bool CopyFromTrial(CZipContainer& trial, AddPlan& plan);
    bool ReadSourceSize(AddPlan& plan);
    static std::unique_ptr<CZipStream> OpenSource(const AddPlan& plan);
    bool AddData(AddPlan& plan);
    void CopySource(AddPlan& plan, CZipStream& source, CZipProgressCallback* callback);
    static bool HasMoreData(CZipStream& source);
    void HandleAbort(bool exhausted, bool replacement, CZipProgressCallback* callback,
                     const std::string& path);
    bool CheckGainAfter(AddPlan& plan);
    bool WritePrepared(AddPlan& plan, CZipPreparedFile& file);
    void WritePiece(std::string& data);
    void FinishPrepared(bool joined, std::uint64_t total, std::uint32_t crc);
    void RemoveLastEntry();

    // Moving data inside the file.
    std::uint64_t GetDataEnd();
    std::uint64_t GetEntryEnd(std::size_t index);
    void CutDirectory();
    void MakeSpaceForReplace(std::size_t index, std::uint64_t needed, const std::string& name);
    bool MoveData(std::uint64_t from, std::uint64_t to, std::uint64_t length,
                  CZipProgressCallback* callback);
    void MarkForDeletion(std::size_t first, std::vector<bool>& remove);
    void DeleteAll();
    void MoveKeptEntries(std::size_t first, std::vector<bool>& remove);
    std::uint64_t ReadLocalDataStart(const CZipEntryHeader& header);
    void CopyRaw(CZipContainer& source, std::uint64_t from, std::uint64_t length,
                 CZipProgressCallback* callback, bool replacement);

    CZipVolumeStore m_storage;
    CZipDirectory m_directory;
    std::map<int, CZipProgressCallback*> m_callbacks;
    CZipDeflate m_deflate;
    CZipBuffer m_buffer; // the general buffer
    std::uint32_t m_buffered = 0;
    std::uint32_t m_bufferSize = DefaultBufferSize;
    int m_entryState = 0; // 0 none, 1 writing, -1 reading
    std::string m_password;
    int m_encryption = EncryptTraditional;
    CZipCrypt m_crypt;
    CZipAesCrypt m_aes;
    int m_systemId = 3;
    bool m_lastChangedSize = false;

    // The entry being written.
    int m_openIndex = -1;
    bool m_openReplaces = false;
    bool m_rawEntry = false;      // copied compressed from another archive
    bool m_precompressed = false; // opening an entry whose data comes compressed
    // A prepared entry whose data is known before its local header is written gets
    // its CRC and sizes there at once, with no going back to patch them.
    struct KnownSizes
    {
        bool set = false;
        std::uint32_t crc = 0;
        std::uint64_t compressed = 0;
        std::uint64_t uncompressed = 0;
    } m_known;
    static constexpr std::uint64_t NoPosition = ~std::uint64_t{0};
    std::uint64_t m_localPosition = NoPosition; // of its local header in the current file
    std::uint64_t m_dataLimit = 0;              // replacement: bytes of room for its data
    std::uint64_t m_dataWritten = 0;            // compressed bytes after the encryption header
    std::uint64_t m_uncompressed = 0;
    std::uint32_t m_crc = 0;

    // The entry being read; declared after what it works on.
    CZipEntryReader m_reader{{m_storage, m_directory, m_buffer, m_password}};
    // Extraction, opening and closing entries through this object.
    CZipExtractor m_extractor{*this, m_reader};
};
