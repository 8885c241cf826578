// Trial compression and copying compressed entries between archives.
#include "ZipContainer.h"
#include "ZipContainerAddPlan.h"

#include "ZipAttributes.h"
#include "ZipException.h"
#include "ZipExtraField.h"
#include "ZipMemoryFile.h"
#include "ZipPlatform.h"

using namespace ZipBytes;

// Compresses the file into a temporary archive first and copies the compressed
// entry in (or adds it stored when compression did not pay). Returns -1 when no
// temporary archive could be made, so the caller adds the file directly.
int CZipContainer::AddThroughTrial(AddPlan& plan)
{
    const bool inMemory = plan.Has(CZipAddInfo::SmartInMemory);
    CZipMemoryFile memory(1024);
    std::string tempPath;
    CZipContainer trial;
    trial.SetBuffers(m_storage.GetWriteBufferSize(), m_bufferSize, MinBufferSize);
    if (inMemory) {
        trial.Open(memory, ArcCreate);
    } else {
        tempPath = ZipPlatform::GetTempFileNameFor(plan.size + plan.size / 100 + 1024);
        if (tempPath.empty())
            return -1;
        trial.Open(tempPath, ArcCreate);
        // The open descriptor is all the trial needs: without a name, a run that is
        // killed leaves no copy of the user's file in the temporary folder.
        ZipPlatform::RemoveFile(tempPath, false);
        tempPath.clear();
    }
    bool result = false;
    try {
        trial.m_password = m_password;
        trial.m_encryption = m_encryption;
        trial.m_systemId = m_systemId;
        trial.SetCallback(GetCallback(CZipProgressCallback::CbAdd), CZipProgressCallback::CbAdd);
        CZipAddInfo info = plan.info;
        info.m_nameInArchive = plan.header.m_fileName;
        info.m_level = plan.level;
        info.m_smartFlags = 0;
        info.m_replaceIndex = -1;
        const bool added = trial.AddNewFile(info);
        m_lastChangedSize = m_lastChangedSize || trial.m_lastChangedSize;
        result = added && CopyFromTrial(trial, plan);
    } catch (...) {
        trial.Close(CloseAfterException);
        if (!tempPath.empty())
            ZipPlatform::RemoveFile(tempPath, false);
        throw;
    }
    trial.Close(CloseAfterException);
    if (!tempPath.empty())
        ZipPlatform::RemoveFile(tempPath, false);
    return result ? 1 : 0;
}

bool CZipContainer::CopyFromTrial(CZipContainer& trial, AddPlan& plan)
{
    const CZipEntryHeader& entry = trial.m_directory[0];
    if (plan.Has(CZipAddInfo::SmartCheckGain) && entry.GetDataSize() > entry.m_uncompressedSize) {
        CZipAddInfo stored = plan.info;
        stored.m_nameInArchive = plan.header.m_fileName;
        stored.m_level = 0;
        stored.m_smartFlags = CZipAddInfo::SmartInternal;
        stored.m_replaceIndex = plan.replaceIndex;
        return AddNewFile(stored);
    }
    return GetFromArchive(trial, 0, false, plan.replaceIndex,
                          GetCallback(CZipProgressCallback::CbAddTemp));
}

// Where the data of `header` starts, from its local header (101 when there is none).
std::uint64_t CZipContainer::ReadLocalDataStart(const CZipEntryHeader& header)
{
    char local[CZipEntryHeader::LocalSize];
    CZipStream& stream = m_storage.GetStream();
    stream.Seek(static_cast<std::int64_t>(m_directory.m_bytesBeforeZip + header.m_offset),
                CZipStream::FromBegin);
    if (stream.Read(local, sizeof local) != sizeof local ||
        Get32(local) != CZipEntryHeader::LocalSignature)
        Throw(CZipException::ErrDamaged);
    return header.m_offset + CZipEntryHeader::LocalSize + Get16(local + 26) + Get16(local + 28);
}

bool CZipContainer::GetFromArchive(CZipContainer& source, int index, bool keepSystemId,
                                   int replaceIndex, CZipProgressCallback* callback,
                                   const EntryRefresh* refresh)
{
    if (!CanAddEntry() || source.IsClosed() || source.m_entryState != 0 ||
        source.m_storage.IsSpanMode() != 0 || !source.m_directory.IsValidIndex(index))
        return false;
    if (replaceIndex >= 0 &&
        (m_storage.IsSpanMode() != 0 || !m_directory.IsValidIndex(replaceIndex)))
        return false;
    const CZipEntryHeader& original = source.m_directory[static_cast<std::size_t>(index)];
    const std::uint64_t dataStart = source.ReadLocalDataStart(original);
    const std::uint64_t dataEnd = source.GetEntryEnd(static_cast<std::size_t>(index));
    const std::uint64_t required = original.m_compressedSize + (original.HasDescriptor() ? 12 : 0);
    if (dataEnd < dataStart || dataEnd - dataStart < required)
        source.Throw(CZipException::ErrDamaged);

    auto header = std::make_unique<CZipEntryHeader>(original);
    header->m_extraField = CentralExtra(header->m_extraField);
    if (refresh) {
        ZipExtraField::SetModificationTime(header->m_extraField, refresh->modified);
        header->m_externalAttr = refresh->attributes;
    }
    if (!keepSystemId && header->GetSystem() != m_systemId) {
        header->m_externalAttr =
            ZipAttributes::Convert(header->m_externalAttr, header->GetSystem(), m_systemId);
        header->SetSystem(m_systemId);
    }
    if (m_storage.IsSpanMode() == 1)
        header->m_flags |= CZipEntryHeader::FlagDescriptor;
    header->m_zip64Local = header->m_compressedSize >= CZipEntryHeader::Escape32 ||
                           header->m_uncompressedSize >= CZipEntryHeader::Escape32;
    header->CheckLengths();
    const std::uint64_t needed = header->GetLocalHeaderSize(header->GetStoredName().size()) +
                                 header->m_compressedSize +
                                 (header->HasDescriptor() ? header->GetDescriptorSize() : 0);
    const std::string name = header->m_fileName;
    m_dataLimit = replaceIndex >= 0 ? header->m_compressedSize : ~std::uint64_t{0};
    CZipEntryHeader& inserted = InsertHeader(std::move(header), replaceIndex);
    BeginEntry(inserted, replaceIndex, needed);
    m_rawEntry = true;
    if (callback) {
        callback->Init(name, source.GetArchivePath());
        callback->SetTotal(inserted.m_compressedSize);
    }
    CopyRaw(source, source.m_directory.m_bytesBeforeZip + dataStart, inserted.m_compressedSize,
            callback, replaceIndex >= 0);
    CloseNewFile();
    if (callback)
        callback->CallbackEnd();
    return true;
}

void CZipContainer::CopyRaw(CZipContainer& source, std::uint64_t from, std::uint64_t length,
                            CZipProgressCallback* callback, bool replacement)
{
    CZipStream& stream = source.m_storage.GetStream();
    stream.Seek(static_cast<std::int64_t>(from), CZipStream::FromBegin);
    CZipBuffer chunk(m_bufferSize);
    for (std::uint64_t done = 0; done < length;) {
        const auto part =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(m_bufferSize, length - done));
        if (stream.Read(chunk.GetBuffer(), part) != part)
            source.Throw(CZipException::ErrDamaged);
        WriteNewFile(chunk.GetBuffer(), part);
        done += part;
        if (callback && !(*callback)(static_cast<int>(part)))
            HandleAbort(done == length, replacement, callback, source.GetArchivePath());
    }
}
