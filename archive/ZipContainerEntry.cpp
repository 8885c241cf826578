// Writing one entry: OpenNewFile, WriteNewFile, CloseNewFile.
#include "ZipContainer.h"

#include "ZipException.h"
#include "ZipExtraField.h"
#include "ZipPlatform.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <limits>

namespace {

constexpr std::uint64_t NoLimit = std::numeric_limits<std::uint64_t>::max();

} // namespace

bool CZipContainer::CanAddEntry() const
{
    return !IsClosed() && m_entryState == 0 && m_storage.IsSpanMode() != -1 &&
           !m_storage.IsReadOnly() && m_directory.GetCount() < CZipDirectory::MaxEntries;
}

void CZipContainer::NormaliseName(CZipEntryHeader& header) const
{
    std::string& name = header.m_fileName;
    std::replace(name.begin(), name.end(), '/', '\\');
    if (header.IsDirectory() && (name.empty() || name.back() != '\\'))
        name += '\\';
    if (name.empty())
        name = "file" + std::to_string(m_directory.GetCount());
}

bool CZipContainer::OpenNewFile(const CZipEntryHeader& templ, int levelWord,
                                const std::string& path, std::uint64_t size)
{
    if (!CanAddEntry())
        return false;
    auto header = std::make_unique<CZipEntryHeader>(templ);
    if (!path.empty()) {
        // The path itself: a symbolic link gives the link's own type and time, and
        // the caller writes its target as the data.
        std::uint32_t attributes = 0;
        std::time_t modified = 0;
        if (!ZipPlatform::GetLinkStatus(path, attributes, modified))
            return false;
        header->SetTime(modified);
        header->m_externalAttr = attributes;
    }
    header->SetSystem(m_systemId);
    NormaliseName(*header);

    int level = levelWord;
    int replaceIndex = -1;
    if ((static_cast<std::uint32_t>(levelWord) & 0xFFFF) == ReplaceMarker) {
        level = static_cast<signed char>(levelWord & 0xFF);
        replaceIndex = static_cast<int>(static_cast<std::uint32_t>(levelWord) >> 16);
        if (!m_directory.IsValidIndex(replaceIndex) || m_storage.IsSpanMode() != 0)
            return false;
    }
    if (level < -1 || level > 9)
        level = -1;
    if (header->IsDirectory())
        level = 0;
    const bool encrypted = !m_password.empty();
    const bool aes = encrypted && m_encryption == EncryptAes256;
    header->PrepareData(level, m_storage.IsSpanMode() == 1, encrypted && !aes);
    if (aes)
        MarkAes(*header);
    header->m_zip64Local = size >= CZipEntryHeader::Zip64LocalThreshold;
    header->CheckLengths();

    std::uint64_t needed = header->GetLocalHeaderSize(header->GetStoredName().size()) + size +
                           header->GetEncryptionOverhead();
    if (header->HasDescriptor())
        needed += header->GetDescriptorSize();

    m_dataLimit = replaceIndex >= 0 ? size : NoLimit;
    CZipEntryHeader& inserted = InsertHeader(std::move(header), replaceIndex);
    BeginEntry(inserted, replaceIndex, needed);
    if (aes) {
        const std::string start = m_aes.BeginEncryption(m_password);
        m_storage.Write(start.data(), static_cast<std::uint32_t>(start.size()), false);
    } else if (encrypted) {
        m_crypt.Init(m_password);
        std::string check = m_crypt.MakeHeader(inserted.m_modTime);
        m_storage.Write(check.data(), CZipEntryHeader::EncryptionHeaderSize, false);
    }
    if (inserted.GetDataMethod() == CZipEntryHeader::MethodDeflated && !m_precompressed)
        m_deflate.Begin(level);
    return true;
}

// An AES entry: method 99 with the real method in its extra block, the salt and
// verifier counted in from the start as the traditional header is. No descriptor
// is needed, since no check byte depends on the CRC.
void CZipContainer::MarkAes(CZipEntryHeader& header)
{
    ZipExtraField::AesInfo info;
    info.method = header.m_method;
    header.m_extraField = ZipExtraField::Without(header.m_extraField, ZipExtraField::AesTag) +
                          ZipExtraField::MakeAes(info);
    header.m_method = CZipEntryHeader::MethodAes;
    header.m_flags |= CZipEntryHeader::FlagEncrypted;
    header.m_compressedSize = CZipAesCrypt::HeaderSize(info.strength);
}

CZipEntryHeader& CZipContainer::InsertHeader(std::unique_ptr<CZipEntryHeader> header,
                                             int replaceIndex)
{
    CutDirectory();
    if (replaceIndex >= 0) {
        // The old entry's place is where the new one goes.
        header->m_offset = m_directory[static_cast<std::size_t>(replaceIndex)].m_offset;
        m_openIndex = replaceIndex;
        m_openReplaces = true;
        return m_directory.Replace(static_cast<std::size_t>(replaceIndex), std::move(header));
    }
    m_openIndex = static_cast<int>(m_directory.GetCount());
    m_openReplaces = false;
    return m_directory.Append(std::move(header));
}

// Places the write position (making room for a replacement), writes the local
// header and opens the entry. On failure the header is taken back out.
void CZipContainer::BeginEntry(CZipEntryHeader& header, int replaceIndex, std::uint64_t needed)
{
    m_entryState = 1;
    m_localPosition = NoPosition;
    m_rawEntry = false;
    m_dataWritten = 0;
    m_uncompressed = 0;
    m_crc = 0;
    try {
        if (replaceIndex >= 0) {
            MakeSpaceForReplace(static_cast<std::size_t>(replaceIndex), needed, header.m_fileName);
        } else if (m_storage.IsSpanMode() == 0 && !m_storage.IsAtEnd()) {
            m_storage.GetStream().SeekToEnd();
        }
        if (m_buffer.GetSize() != m_bufferSize)
            m_buffer.Allocate(m_bufferSize);
        m_buffered = 0;
        WriteLocalHeader(header);
    } catch (...) {
        AbandonEntry();
        throw;
    }
}

std::string CZipContainer::CentralExtra(const std::string& extra)
{
    return ZipExtraField::Only(extra, ZipExtraField::ExtendedTimestamp) +
           ZipExtraField::Only(extra, ZipExtraField::AesTag);
}

void CZipContainer::WriteLocalHeader(CZipEntryHeader& header)
{
    std::string record;
    if (m_known.set && !header.HasDescriptor() && !header.IsEncrypted()) {
        CZipEntryHeader local = header;
        local.m_crc = m_known.crc;
        local.m_compressedSize = m_known.compressed;
        local.m_uncompressedSize = m_known.uncompressed;
        local.WriteLocal(record, local.GetStoredName());
    } else {
        m_known.set = false;
        header.WriteLocal(record, header.GetStoredName());
    }
    m_storage.Write(record.data(), static_cast<std::uint32_t>(record.size()), true);
    m_localPosition = m_storage.GetPosition() - record.size();
    header.m_volumeStart = static_cast<std::uint16_t>(m_storage.GetCurrentVolume());
    header.m_offset = m_localPosition - m_directory.m_bytesBeforeZip;
    // The central record repeats only the exact time and the AES block of the local
    // extra field.
    header.m_extraField = CentralExtra(header.m_extraField);
}

void CZipContainer::WriteNewFile(const void* data, std::uint32_t size)
{
    if (m_entryState != 1 || size == 0)
        return;
    const char* bytes = static_cast<const char*>(data);
    if (!m_rawEntry) {
        m_uncompressed += size;
        CheckEntrySize(m_uncompressed);
        m_crc =
            static_cast<std::uint32_t>(crc32(m_crc, reinterpret_cast<const Bytef*>(bytes), size));
    }
    // Deflate was begun at the open exactly for entries compressed here.
    if (m_deflate.IsActive()) {
        m_deflate.Compress(bytes, size, m_buffer.GetBuffer(), m_bufferSize, m_buffered,
                           [this](char* out, std::uint32_t n) { EmitData(out, n); });
        return;
    }
    while (size > 0) {
        const std::uint32_t part = std::min(size, m_bufferSize - m_buffered);
        std::memcpy(m_buffer.GetBuffer() + m_buffered, bytes, part);
        m_buffered += part;
        bytes += part;
        size -= part;
        if (m_buffered == m_bufferSize)
            FlushData();
    }
}

void CZipContainer::FlushData()
{
    EmitData(m_buffer.GetBuffer(), m_buffered);
    m_buffered = 0;
}

// Hands compressed data to the storage, encrypted when the entry is. A
// replacement never writes past the room made for it: that would overwrite the
// next entry.
void CZipContainer::EmitData(char* data, std::uint32_t size)
{
    if (size == 0)
        return;
    if (m_dataWritten + size > m_dataLimit)
        Throw(CZipException::ErrInternal);
    const CZipEntryHeader& header = m_directory[static_cast<std::size_t>(m_openIndex)];
    if (header.IsAes() && !m_rawEntry)
        m_aes.Encrypt(data, size);
    else if (header.IsEncrypted() && !m_rawEntry)
        m_crypt.Encode(data, size);
    m_storage.Write(data, size, false);
    m_dataWritten += size;
}

void CZipContainer::CloseNewFile(bool afterException)
{
    if (m_entryState != 1)
        return;
    if (afterException) {
        AbandonEntry();
        return;
    }
    try {
        FinishEntry();
    } catch (...) {
        AbandonEntry();
        throw;
    }
    m_entryState = 0;
    m_openIndex = -1;
    m_deflate.End();
    // The buffer stays for the next entry: filling 64 KiB anew for each of many
    // small files would cost more than writing them.
}

void CZipContainer::FinishEntry()
{
    CZipEntryHeader& header = m_directory[static_cast<std::size_t>(m_openIndex)];
    if (m_deflate.IsActive())
        m_deflate.Finish(m_buffer.GetBuffer(), m_bufferSize, m_buffered,
                         [this](char* out, std::uint32_t n) { EmitData(out, n); });
    FlushData();
    if (!m_rawEntry) {
        std::uint64_t compressed = m_dataWritten + header.m_compressedSize;
        if (header.IsAes()) {
            const std::string code = m_aes.FinishEncryption();
            m_storage.Write(code.data(), static_cast<std::uint32_t>(code.size()), false);
            compressed += code.size();
        }
        CheckEntrySize(compressed);
        header.m_compressedSize = compressed;
        header.m_uncompressedSize = m_uncompressed;
        header.m_crc = header.HasDataCrc() ? m_crc : 0;
    }
    if (header.HasDescriptor()) {
        std::string descriptor;
        header.WriteDescriptor(descriptor);
        m_storage.Write(descriptor.data(), static_cast<std::uint32_t>(descriptor.size()), true);
    }
    // Readers that look at the local header first find the real values there
    // whenever the file lets us go back to it.
    const bool known = m_known.set && m_known.crc == header.m_crc &&
                       m_known.compressed == header.m_compressedSize &&
                       m_known.uncompressed == header.m_uncompressedSize;
    m_known.set = false;
    if (m_storage.IsSpanMode() == 0 && (!header.HasDescriptor() || header.IsEncrypted()) && !known)
        PatchLocalSizes(header);
}

void CZipContainer::PatchLocalSizes(const CZipEntryHeader& header)
{
    std::string sizes;
    header.WriteSizes(sizes);
    CZipStream& stream = m_storage.GetStream();
    const std::uint64_t end = stream.GetPosition();
    stream.Seek(static_cast<std::int64_t>(m_localPosition + 14), CZipStream::FromBegin);
    stream.Write(sizes.data(), static_cast<std::uint32_t>(sizes.size()));
    if (header.m_zip64Local) {
        // The zip64 block comes first after the name: its tag and size, then the sizes.
        std::string wide;
        header.WriteZip64LocalSizes(wide);
        const std::uint64_t at = m_localPosition + CZipEntryHeader::LocalSize +
                                 header.m_storedNameLength + 4;
        stream.Seek(static_cast<std::int64_t>(at), CZipStream::FromBegin);
        stream.Write(wide.data(), static_cast<std::uint32_t>(wide.size()));
    }
    stream.Seek(static_cast<std::int64_t>(end), CZipStream::FromBegin);
}

// An entry whose local header has 32-bit sizes cannot grow past them.
void CZipContainer::CheckEntrySize(std::uint64_t size) const
{
    const CZipEntryHeader& header = m_directory[static_cast<std::size_t>(m_openIndex)];
    if (!header.m_zip64Local && size >= CZipEntryHeader::Escape32)
        throw CZipException::FromErrno(EFBIG, m_storage.GetArchivePath());
}

// Forgets the open entry: its header leaves the directory, and an entry appended
// to a single file is cut off again, so nothing half-written is ever listed.
void CZipContainer::AbandonEntry()
{
    m_known.set = false;
    m_deflate.End();
    m_aes = CZipAesCrypt(); // drops the keys of an entry left half-way
    m_buffer.Release();
    m_buffered = 0;
    m_entryState = 0;
    if (!m_directory.IsValidIndex(m_openIndex))
        return;
    const bool appended = !m_openReplaces;
    m_directory.Remove(static_cast<std::size_t>(m_openIndex));
    m_openIndex = -1;
    if (!appended || m_storage.IsSpanMode() != 0 || m_localPosition == NoPosition)
        return;
    try {
        CZipStream& stream = m_storage.GetStream();
        stream.SetLength(m_localPosition);
        stream.SeekToEnd();
    } catch (...) {
        // The file cannot be cut back; the directory no longer lists the entry.
    }
}
