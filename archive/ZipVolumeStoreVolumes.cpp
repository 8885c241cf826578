// Moving between the volumes of a spanned archive: the next volume while writing,
// any volume while reading, and the disk callback that goes with removable disks.
#include "ZipVolumeStore.h"

#include "ZipDiskCallback.h"
#include "ZipDrive.h"
#include "ZipException.h"
#include "ZipPathParts.h"
#include "ZipPlatform.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <limits>

namespace {

constexpr unsigned kCreateFlags =
    CZipStream::OpenCreate | CZipStream::OpenReadWrite | CZipStream::ShareDenyWrite;

} // namespace

void CZipVolumeStore::NextVolume(std::uint32_t bytesNeeded)
{
    Flush();
    if (m_flushedToVolume > 0) {
        if (m_currentVolume + 1 >= MaxVolumes)
            throw CZipException(CZipException::ErrVolumeLimit, m_path);
        CloseVolume(true);
        m_flushedToVolume = 0;
        ++m_currentVolume;
    } else if (m_file) {
        // Nothing reached this volume (the disk was too small for the next record):
        // take the empty file away again and ask for the same disk number.
        const std::string empty = m_file->GetFilePath();
        CloseVolume(false);
        ZipPlatform::RemoveFile(empty, false);
    }
    if (m_spanMode == SpanFixedSize)
        CreateFixedVolume();
    else
        AskForRemovableDisk(bytesNeeded);
}

// Closes the current volume's file. A written volume is synced first (the user may
// take the disk out next) and remembered, to know it again if it is put back.
void CZipVolumeStore::CloseVolume(bool written)
{
    if (!m_file)
        return;
    if (written) {
        m_file->Flush();
        struct stat st
        {
        };
        if (m_spanMode == SpanRemovable && fstat(m_file->GetHandle(), &st) == 0)
            m_writtenVolumes.push_back(IdOf(st));
    }
    m_file->Close();
    m_file.reset();
    m_stream = nullptr;
}

CZipVolumeStore::FileId CZipVolumeStore::IdOf(const struct stat& status)
{
    return {status.st_dev, status.st_ino, status.st_size,
            static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

void CZipVolumeStore::CreateFixedVolume()
{
    m_freeSpace = m_volumeSize;
    m_file = CZipDrive::Current().OpenFile(GetVolumeName(m_currentVolume), kCreateFlags, true);
    m_stream = m_file.get();
}

void CZipVolumeStore::AskForRemovableDisk(std::uint32_t bytesNeeded)
{
    const int needed = static_cast<int>(std::min<std::uint32_t>(bytesNeeded, INT_MAX));
    int code = needed;
    bool labelWaived = false;
    while (!TryRemovableDisk(code, labelWaived, needed)) {
    }
    m_stream = m_file.get();
    m_freeSpace = DriveFreeSpace();
}

// One round of asking for a disk: true when the volume file is created on it; else
// `code` says what to ask next. The label is asked about once per disk: where
// labels cannot be set at all, the user's go-ahead is taken as consent to go on
// without one.
bool CZipVolumeStore::TryRemovableDisk(int& code, bool& labelWaived, int bytesCode)
{
    CallDiskCallback(code, m_currentVolume + 1);
    if (ZipPlatform::FileExists(m_path) != 0) {
        // A disk of this set is (still or again) in the drive: ask for a new one
        // again, never offer to delete what we wrote.
        code = IsWrittenVolume(m_path) ? bytesCode : CZipDiskCallback::DiskHoldsArchiveName;
        return false;
    }
    char label[32];
    std::snprintf(label, sizeof label, "pkback# %.3d", m_currentVolume + 1);
    if (!CZipDrive::Current().SetVolumeLabel(m_path, label) && !labelWaived) {
        labelWaived = true;
        code = CZipDiskCallback::LabelNotSet;
        return false;
    }
    m_file = CZipDrive::Current().OpenFile(m_path, kCreateFlags, false);
    if (!m_file) {
        code = CZipDiskCallback::FileNotCreated;
        return false;
    }
    return true;
}

void CZipVolumeStore::CallDiskCallback(int code, int diskNumber)
{
    if (!m_pDiskCallback)
        throw CZipException(CZipException::ErrNoDiskCallback, m_path);
    m_pDiskCallback->m_volumePath = m_path;
    m_pDiskCallback->m_diskNumber = diskNumber;
    if (!m_pDiskCallback->Callback(code))
        throw CZipException(CZipException::ErrDiskChangeAborted, m_path);
}

bool CZipVolumeStore::IsWrittenVolume(const std::string& path) const
{
    struct stat st
    {
    };
    if (stat(path.c_str(), &st) != 0)
        return false;
    const FileId id = IdOf(st);
    return std::find(m_writtenVolumes.begin(), m_writtenVolumes.end(), id) !=
           m_writtenVolumes.end();
}

std::uint64_t CZipVolumeStore::DriveFreeSpace() const
{
    std::string folder = CZipPathParts(m_path, CZipPathParts::NativeSyntax).GetFolderPath();
    if (folder.empty())
        folder.push_back('.'); // not = ".": g++ 12 warns falsely there under sanitizers
    std::uint64_t freeBytes = 0;
    if (!CZipDrive::Current().GetFreeSpace(folder, freeBytes))
        return 0;
    return freeBytes;
}

void CZipVolumeStore::OpenVolumeForReading(const std::string& path)
{
    m_file = CZipDrive::Current().OpenFile(path, CZipStream::OpenRead | CZipStream::ShareDenyWrite,
                                           true);
    m_stream = m_file.get();
}

void CZipVolumeStore::ChangeVolume(int number)
{
    RequireOpen();
    if (number == m_currentVolume && m_stream)
        return;
    // Volume numbers come from the archive's records: one that is not there is damage.
    if (!IsSpannedReading() || number < 0 || number > m_lastVolume)
        throw CZipException(CZipException::ErrDamaged, m_path);
    CloseVolume(false);
    if (m_spanMode == SpanRemovable) {
        CallDiskCallback(CZipDiskCallback::DiskNeededForReading, number + 1);
        OpenVolumeForReading(m_path);
    } else {
        OpenVolumeForReading(number == m_lastVolume ? m_path : GetVolumeName(number));
    }
    m_currentVolume = number;
}

void CZipVolumeStore::UpdateSpanMode(int thisVolume)
{
    RequireOpen();
    if (thisVolume == 0) {
        m_spanMode = SpanNone;
        return;
    }
    if (m_inMemory || m_creating || thisVolume < 0)
        throw CZipException(CZipException::ErrDamaged, m_path);
    if (m_spanMode == SpanDetect)
        m_spanMode = CZipDrive::Current().IsRemovable(m_path) ? SpanRemovable : SpanFixedSize;
    else if (m_spanMode == SpanFixedHint)
        m_spanMode = SpanFixedSize;
    if (m_spanMode == SpanRemovable && !m_pDiskCallback)
        throw CZipException(CZipException::ErrNoDiskCallback, m_path);
    Flush();
    m_lastVolume = thisVolume;
    m_currentVolume = thisVolume;
    // A spanned archive is only read.
    m_buffer.Release();
    m_readOnly = true;
}
