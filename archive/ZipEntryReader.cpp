// The entry reader: local header checks, decryption, inflating and the checks at
// the end of an entry.
#include "ZipEntryReader.h"

#include "ZipBlockDeflate.h"
#include "ZipException.h"
#include "ZipExtraField.h"
#include "ZipPlatform.h"

#include <algorithm>
#include <cstring>

using namespace ZipBytes;

void CZipEntryReader::Throw(int cause) const
{
    throw CZipException(cause, GetArchivePath());
}

void CZipEntryReader::Open(const CZipEntryHeader& header)
{
    End(); // nothing an entry left behind (its archive closed under it) carries over
    m_header = &header;
    try {
        CheckLocalHeader(header);
        m_decrypts = header.IsEncrypted();
        m_readAes = header.IsAes();
        m_compressedLeft = header.m_compressedSize;
        if (m_readAes)
            StartAesDecryption(header);
        else if (m_decrypts)
            StartDecryption(header);
        m_inflates = header.GetDataMethod() == CZipEntryHeader::MethodDeflated;
        m_readWhole =
            m_inflates && CZipWholeInflate::Fits(m_compressedLeft, header.m_uncompressedSize);
        if (m_inflates && !m_readWhole)
            m_inflate.Begin(GetArchivePath());
    } catch (...) {
        End();
        throw;
    }
    m_uncompressedLeft = header.m_uncompressedSize;
    m_crc = 0;
    m_inputPosition = m_inputLength = 0;
}

// The local header must agree with the central record; what follows it must fit
// in the file before the central directory.
void CZipEntryReader::CheckLocalHeader(const CZipEntryHeader& header)
{
    CZipVolumeStore& storage = m_context.storage;
    storage.ChangeVolume(header.m_volumeStart);
    const std::uint64_t start = m_context.directory.m_bytesBeforeZip + header.m_offset;
    if (storage.IsSpanMode() == 0 && start >= m_context.directory.GetDirectoryFilePosition())
        Throw(CZipException::ErrDamaged);
    storage.GetStream().Seek(static_cast<std::int64_t>(start), CZipStream::FromBegin);
    char local[CZipEntryHeader::LocalSize];
    storage.Read(local, sizeof local, true);
    const std::uint16_t flags = Get16(local + 6);
    const std::uint16_t method = Get16(local + 8);
    const std::uint16_t dataMethod = header.GetDataMethod();
    bool sound = Get32(local) == CZipEntryHeader::LocalSignature &&
                 (flags & 0xF) == (header.m_flags & 0xF) && method == header.m_method &&
                 (dataMethod == CZipEntryHeader::MethodStored ||
                  dataMethod == CZipEntryHeader::MethodDeflated) &&
                 (method != CZipEntryHeader::MethodAes || header.GetAesStrength() > 0) &&
                 Get16(local + 26) == header.GetStoredNameLength();
    if (!sound)
        Throw(CZipException::ErrDamaged);
    // Name and extra field in one atomic read: they must end on this volume.
    const std::uint32_t nameLength = Get16(local + 26);
    const std::uint32_t variable = nameLength + Get16(local + 28);
    std::string fields(variable, '\0');
    if (variable > 0)
        storage.Read(fields.data(), variable, true);
    std::string zip64;
    m_zip64Descriptor =
        ZipExtraField::Find(fields.substr(nameLength), CZipEntryHeader::Zip64Tag, zip64);
    if (!header.HasDescriptor() && !LocalSizesAgree(header, local, zip64))
        Throw(CZipException::ErrDamaged);
    CheckDataFits(header, start + CZipEntryHeader::LocalSize + variable);
}

// Sizes the local header escapes stand in its zip64 block, uncompressed first.
bool CZipEntryReader::LocalSizesAgree(const CZipEntryHeader& header, const char* local,
                                      const std::string& zip64)
{
    std::uint64_t compressed = Get32(local + 18);
    std::uint64_t uncompressed = Get32(local + 22);
    std::size_t at = 0;
    for (std::uint64_t* value : {&uncompressed, &compressed}) {
        if (*value != CZipEntryHeader::Escape32)
            continue;
        if (zip64.size() < at + 8)
            return false;
        *value = Get64(zip64.data() + at);
        at += 8;
    }
    return Get32(local + 14) == header.m_crc && compressed == header.m_compressedSize &&
           uncompressed == header.m_uncompressedSize;
}

void CZipEntryReader::CheckDataFits(const CZipEntryHeader& header, std::uint64_t dataStart) const
{
    if (header.m_compressedSize < header.GetEncryptionOverhead())
        Throw(CZipException::ErrDamaged);
    if (m_context.storage.IsSpanMode() != 0)
        return; // volumes are checked as they are read
    const std::uint64_t end = dataStart + header.m_compressedSize;
    if (end > m_context.directory.GetDirectoryFilePosition())
        Throw(CZipException::ErrDamaged);
}

// The last byte of the decrypted encryption header repeats a byte the reader knows:
// a wrong password shows here in all but about one case of 256.
void CZipEntryReader::StartDecryption(const CZipEntryHeader& header)
{
    if (m_context.password.empty())
        Throw(CZipException::ErrBadPassword);
    m_crypt.Init(m_context.password);
    char check[CZipEntryHeader::EncryptionHeaderSize];
    m_context.storage.Read(check, sizeof check, false);
    m_crypt.Decode(check, sizeof check);
    const unsigned char expected = header.HasDescriptor()
                                       ? static_cast<unsigned char>(header.m_modTime >> 8)
                                       : static_cast<unsigned char>(header.m_crc >> 24);
    if (static_cast<unsigned char>(check[sizeof check - 1]) != expected)
        Throw(CZipException::ErrBadPassword);
    m_compressedLeft -= CZipEntryHeader::EncryptionHeaderSize;
}

// Salt and verifier come first; the authentication code after the data is read
// apart from it, in Close.
void CZipEntryReader::StartAesDecryption(const CZipEntryHeader& header)
{
    if (m_context.password.empty())
        Throw(CZipException::ErrBadPassword);
    const int strength = header.GetAesStrength();
    std::string start(CZipAesCrypt::HeaderSize(strength), '\0');
    m_context.storage.Read(start.data(), static_cast<std::uint32_t>(start.size()), false);
    if (!m_aes.BeginDecryption(m_context.password, strength, start.data()))
        Throw(CZipException::ErrBadPassword);
    m_compressedLeft -= header.GetEncryptionOverhead();
}

void CZipEntryReader::Decrypt(char* data, std::uint32_t size)
{
    if (m_readAes)
        m_aes.Decrypt(data, size);
    else if (m_decrypts)
        m_crypt.Decode(data, size);
}

// Reads the next piece of compressed data into the general buffer. False when the
// entry has none left.
bool CZipEntryReader::FillInput()
{
    if (m_compressedLeft == 0)
        return false;
    CZipBuffer& buffer = m_context.buffer;
    const auto size =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(buffer.GetSize(), m_compressedLeft));
    m_context.storage.Read(buffer.GetBuffer(), size, false);
    Decrypt(buffer.GetBuffer(), size);
    m_compressedLeft -= size;
    m_inputPosition = 0;
    m_inputLength = size;
    return true;
}

std::uint32_t CZipEntryReader::Produce(char* out, std::uint32_t room, bool& ended)
{
    const char* in = m_context.buffer.GetBuffer() + m_inputPosition;
    const std::uint32_t available = m_inputLength - m_inputPosition;
    std::uint32_t consumed = 0;
    std::uint32_t produced = 0;
    if (m_inflates) {
        ended = m_inflate.Run(in, available, out, room, consumed, produced, GetArchivePath());
        if (!ended && consumed == 0 && produced == 0)
            Throw(CZipException::ErrDamaged); // a stream that cannot go on
    } else {
        produced = consumed = std::min(available, room);
        std::memcpy(out, in, produced);
    }
    m_inputPosition += consumed;
    return produced;
}

// Reads and decrypts all of the entry's data, then inflates it in one call.
std::uint32_t CZipEntryReader::ProduceWhole(char* out, std::uint32_t room, bool& ended)
{
    if (!m_whole.IsInflated()) {
        const auto size = static_cast<std::uint32_t>(m_compressedLeft);
        char* input = m_whole.Input(size);
        m_context.storage.Read(input, size, false);
        Decrypt(input, size);
        m_compressedLeft = 0;
        m_whole.Inflate(m_uncompressedLeft, GetArchivePath());
    }
    return m_whole.Take(out, room, ended);
}

std::uint32_t CZipEntryReader::Read(void* buffer, std::uint32_t size)
{
    if (!IsOpen() || !buffer || size == 0)
        return 0;
    char* out = static_cast<char*>(buffer);
    const auto wanted = static_cast<std::uint32_t>(std::min<std::uint64_t>(size, m_uncompressedLeft));
    std::uint32_t done = 0;
    bool ended = false;
    while (done < wanted && !ended) {
        // Input exhausted while output is still owed: the entry's sizes lie.
        if (!m_readWhole && m_inputPosition == m_inputLength && !FillInput() && !m_inflates)
            Throw(CZipException::ErrDamaged);
        const std::uint32_t produced = m_readWhole ? ProduceWhole(out + done, wanted - done, ended)
                                                   : Produce(out + done, wanted - done, ended);
        m_crc = CZipBlockDeflate::Crc32(m_crc, out + done, produced);
        done += produced;
        m_uncompressedLeft -= produced;
    }
    return done;
}

int CZipEntryReader::Close(const std::string& path, bool afterException)
{
    if (!IsOpen())
        return 0;
    const CZipEntryHeader& header = *m_header;
    int result = 1;
    try {
        if (!afterException) {
            if (m_uncompressedLeft > 0)
                result = -1; // a partial read proves nothing about the CRC
            else if (m_readAes)
                CheckAuthentication();
            if (result == 1 && header.HasDataCrc() && m_crc != header.m_crc)
                Throw(CZipException::ErrCrc);
        }
        m_inflate.End();
        if (!path.empty() && (!ZipPlatform::SetFileModTime(path, header.GetTime()) ||
                              !ZipPlatform::SetFileAttributes(path, header.GetSystemAttributes())))
            result = -2;
        // The descriptor follows the data: only reachable when all of it was read.
        if (!afterException && result != -1 && header.HasDescriptor()) {
            SkipUnreadData();
            ReadDescriptor(header);
        }
    } catch (...) {
        End();
        throw;
    }
    End();
    return result;
}

// Data the deflate stream did not need (its end came early) lies between the
// position and the descriptor.
void CZipEntryReader::SkipUnreadData()
{
    while (FillInput()) {
    }
}

// With a zip64 local header the descriptor's sizes are 64-bit.
void CZipEntryReader::ReadDescriptor(const CZipEntryHeader& header)
{
    char descriptor[CZipEntryHeader::Zip64DescriptorSize];
    m_context.storage.Read(descriptor, 4, false);
    const bool signature = Get32(descriptor) == CZipEntryHeader::DescriptorSignature;
    const std::uint32_t sizes = m_zip64Descriptor ? 16 : 8;
    const std::uint32_t rest = (signature ? 4 : 0) + sizes;
    m_context.storage.Read(descriptor + 4, rest, false);
    const char* fields = signature ? descriptor + 4 : descriptor;
    const std::uint64_t compressed = m_zip64Descriptor ? Get64(fields + 4) : Get32(fields + 4);
    const std::uint64_t uncompressed = m_zip64Descriptor ? Get64(fields + 12) : Get32(fields + 8);
    if (Get32(fields) != header.m_crc || compressed != header.m_compressedSize ||
        uncompressed != header.m_uncompressedSize)
        Throw(CZipException::ErrDamaged);
}

// Every byte of ciphertext goes through the authentication, also what the deflate
// stream did not need; then the stored code must match.
void CZipEntryReader::CheckAuthentication()
{
    SkipUnreadData();
    char code[CZipAesCrypt::AuthCodeSize];
    m_context.storage.Read(code, sizeof code, false);
    if (!m_aes.CheckAuthCode(code))
        Throw(CZipException::ErrAuthentication);
}

void CZipEntryReader::End()
{
    m_inflate.End();
    m_whole.Clear();
    m_readWhole = false;
    if (m_aes.IsActive())
        m_aes = CZipAesCrypt();
    m_readAes = false;
    m_header = nullptr;
    m_inputPosition = m_inputLength = 0; // the buffer stays for the next entry
    m_compressedLeft = m_uncompressedLeft = 0;
}

// 105 when the data was cut short by the abort, 106 when it was complete anyway.
int CZipEntryReader::AbortCode(std::uint32_t chunk, std::uint32_t bufferSize) const
{
    return chunk == bufferSize && m_uncompressedLeft > 0 ? CZipException::ErrAborted
                                                         : CZipException::ErrAbortedSafely;
}

std::uint64_t CZipEntryReader::CopyTo(const ChunkSink& sink, std::uint32_t bufferSize,
                                      CZipProgressCallback* callback, int& abortCode)
{
    CZipBuffer chunk(bufferSize);
    std::uint64_t total = 0;
    for (;;) {
        const std::uint32_t got = Read(chunk.GetBuffer(), bufferSize);
        if (sink)
            sink(chunk.GetBuffer(), got);
        total += got;
        if (callback && !(*callback)(static_cast<int>(got))) {
            abortCode = AbortCode(got, bufferSize);
            break;
        }
        if (got < bufferSize)
            break;
    }
    return total;
}
