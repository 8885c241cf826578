// AddNewFile: a file or folder from disk, with the smart storage rules.
#include "ZipContainer.h"
#include "ZipContainerAddPlan.h"

#include "ZipAttributes.h"
#include "ZipException.h"
#include "ZipFile.h"
#include "ZipMemoryFile.h"
#include "ZipPathParts.h"
#include "ZipPlatform.h"
#include "ZipPreparedFile.h"

#include <algorithm>
#include <cerrno>
#include <limits>

namespace {

std::string TrimSeparators(std::string path)
{
    while (!path.empty() && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    return path;
}

std::string DeriveName(const std::string& path, bool fullPath)
{
    const CZipPathParts parts(path, CZipPathParts::NativeSyntax);
    return fullPath ? parts.GetPathWithoutDrive() : parts.GetFileName();
}

} // namespace

bool CZipContainer::AddNewFile(const CZipAddInfo& info)
{
    if (!CanAddEntry())
        return false;
    if ((info.m_smartFlags & CZipAddInfo::SmartInternal) != CZipAddInfo::SmartInternal)
        m_lastChangedSize = false;
    AddPlan plan;
    if (!PlanAdd(info, plan))
        return false;
    // A password dropped for one folder or empty file comes back afterwards.
    const std::string password = m_password;
    try {
        const bool added = plan.directory ? AddFolder(plan) : AddFile(plan);
        m_password = password;
        return added;
    } catch (...) {
        m_password = password;
        throw;
    }
}

bool CZipContainer::PlanAdd(const CZipAddInfo& info, AddPlan& plan,
                            const CZipPreparedFile* prepared)
{
    plan.info = info;
    plan.info.m_path = TrimSeparators(info.m_path);
    const std::string& path = plan.info.m_path;
    if (path.empty())
        return false;
    std::string name =
        info.m_nameInArchive.empty() ? DeriveName(path, info.m_fullPath) : info.m_nameInArchive;
    // The path itself: a symbolic link is stored as a link, never followed (it may
    // dangle, point at a folder, or lead out of what the user chose).
    std::uint32_t attributes = prepared ? prepared->GetAttributes() : 0;
    std::time_t modified = prepared ? prepared->GetModified() : 0;
    if (!prepared && !ZipPlatform::GetLinkStatus(path, attributes, modified))
        return false;
    plan.link = ZipAttributes::IsUnixLink(attributes);
    plan.directory = !plan.link && ZipAttributes::IsDirectory(attributes);
    std::replace(name.begin(), name.end(), '/', '\\');
    if (plan.directory && (name.empty() || name.back() != '\\'))
        name += '\\';
    plan.replaceIndex = info.m_replaceIndex;
    if (plan.replaceIndex == CZipAddInfo::LookUpName)
        plan.replaceIndex = m_directory.FindName(name, ZipAttributes::PlatformNamesCaseSensitive);
    if (plan.replaceIndex >= 0) {
        if (m_storage.IsSpanMode() != 0 || !m_directory.IsValidIndex(plan.replaceIndex))
            return false;
    } else {
        plan.replaceIndex = -1;
    }
    plan.header.m_fileName = name;
    plan.header.m_externalAttr = attributes;
    plan.header.SetTime(modified);
    plan.level = info.m_level < -1 || info.m_level > 9 ? -1 : info.m_level;
    plan.internal = plan.Has(CZipAddInfo::SmartInternal);
    if (!plan.internal)
        plan.callback = StartProgress(CZipProgressCallback::CbAdd, name, path, 0);
    // Replacing the last entry is the same as dropping it and appending.
    if (plan.replaceIndex >= 0 &&
        static_cast<std::size_t>(plan.replaceIndex) + 1 == m_directory.GetCount()) {
        RemoveLastEntry();
        plan.replaceIndex = -1;
    }
    return true;
}

bool CZipContainer::AddFolder(AddPlan& plan)
{
    if (plan.Has(CZipAddInfo::SmartPassDir))
        m_password.clear();
    const int word = plan.replaceIndex >= 0 ? (plan.replaceIndex << 16) | ReplaceMarker : 0;
    const bool opened = OpenNewFile(plan.header, word, {}, 0);
    if (opened)
        CloseNewFile();
    if (plan.callback)
        plan.callback->CallbackEnd();
    return opened;
}

bool CZipContainer::AddFile(AddPlan& plan)
{
    plan.sizeKnown = ReadSourceSize(plan);
    if (plan.sizeKnown && plan.size == 0 && plan.Has(CZipAddInfo::SmartPassEmpty) &&
        !m_password.empty()) {
        // Whatever the file holds by the time it is read must not go in unencrypted.
        m_password.clear();
        plan.readLimit = 0;
    }
    if (plan.sizeKnown && plan.size < 5 && plan.Has(CZipAddInfo::SmartStoreSmall))
        plan.level = 0;
    if (plan.replaceIndex >= 0 && !plan.sizeKnown) {
        if (plan.callback)
            plan.callback->CallbackEnd();
        return false; // no room can be made for an unknown size
    }
    const bool spanned = m_storage.IsSpanMode() == 1;
    const bool trial =
        plan.sizeKnown && plan.level != 0 && plan.readLimit != 0 &&
        ((plan.Has(CZipAddInfo::SmartCheckGain) && spanned) || plan.replaceIndex >= 0);
    if (trial) {
        const int result = AddThroughTrial(plan);
        if (result >= 0)
            return result == 1;
        if (plan.replaceIndex >= 0)
            plan.level = 0; // no room for a trial: the replacement is stored
    }
    const bool checkAfter = plan.Has(CZipAddInfo::SmartCheckGain) && plan.level != 0 && !spanned &&
                            plan.replaceIndex < 0 && plan.sizeKnown;
    if (!AddData(plan))
        return false;
    return checkAfter ? CheckGainAfter(plan) : true;
}

bool CZipContainer::ReadSourceSize(AddPlan& plan)
{
    if (!plan.link)
        return ZipPlatform::GetFileSize(plan.info.m_path, plan.size);
    if (!ZipPlatform::ReadLinkTarget(plan.info.m_path, plan.linkTarget))
        return false;
    plan.size = plan.linkTarget.size();
    return true;
}

// The bytes of the entry: the file, or the target of a link. Null when the file
// cannot be opened.
std::unique_ptr<CZipStream> CZipContainer::OpenSource(const AddPlan& plan)
{
    if (plan.link) {
        auto memory = std::make_unique<CZipMemoryFile>();
        memory->Write(plan.linkTarget.data(), static_cast<std::uint32_t>(plan.linkTarget.size()));
        memory->SeekToBegin();
        return memory;
    }
    auto file = std::make_unique<CZipFile>();
    // No lock: a backup must never make another program's lock on the file fail.
    if (!file->Open(plan.info.m_path, CZipStream::OpenRead, false))
        return nullptr;
    return file;
}

bool CZipContainer::AddData(AddPlan& plan)
{
    std::unique_ptr<CZipStream> source = OpenSource(plan);
    if (!source) {
        if (plan.callback)
            plan.callback->CallbackEnd();
        return false;
    }
    const std::uint64_t size = plan.size;
    const int word =
        plan.replaceIndex >= 0 ? (plan.replaceIndex << 16) | ReplaceMarker : plan.level;
    if (!OpenNewFile(plan.header, word, {}, size)) {
        if (plan.callback)
            plan.callback->CallbackEnd();
        return false;
    }
    if (plan.replaceIndex >= 0)
        plan.readLimit = std::min<std::uint64_t>(plan.readLimit, size); // the room made for it
    CZipProgressCallback* callback = plan.callback;
    if (plan.internal) {
        callback = GetCallback(CZipProgressCallback::CbAddStore);
        if (callback)
            callback->SetTotal(size);
    } else if (plan.replaceIndex >= 0) {
        // Making room reported on the same callback as CbReplace: report the file
        // as CbAdd again.
        callback = StartProgress(CZipProgressCallback::CbAdd, plan.header.m_fileName,
                                 plan.info.m_path, size);
    } else if (callback) {
        callback->SetTotal(size);
    }
    CopySource(plan, *source, callback);
    CloseNewFile();
    if (callback)
        callback->CallbackEnd();
    return true;
}

// Reads the source to its end (or to the plan's limit) whatever size it had when
// adding began: a file that grows or shrinks meanwhile gives an entry of exactly
// the bytes read, and LastFileChangedSize says so.
void CZipContainer::CopySource(AddPlan& plan, CZipStream& source, CZipProgressCallback* callback)
{
    const std::uint32_t chunkSize = plan.ChunkSize();
    CZipBuffer chunk(chunkSize);
    std::uint64_t total = 0;
    bool ended = false;
    while (!ended) {
        const auto room =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(chunkSize, plan.readLimit - total));
        const std::uint32_t got = room > 0 ? source.Read(chunk.GetBuffer(), room) : 0;
        WriteNewFile(chunk.GetBuffer(), got);
        total += got;
        ended = got < chunkSize || total == plan.readLimit;
        if (callback && !(*callback)(static_cast<int>(got)))
            HandleAbort(ended || !HasMoreData(source), plan.replaceIndex >= 0, callback,
                        plan.info.m_path);
    }
    const bool cutShort = total == plan.readLimit && HasMoreData(source);
    if (cutShort || (plan.sizeKnown && total != plan.size))
        m_lastChangedSize = true;
}

bool CZipContainer::HasMoreData(CZipStream& source)
{
    char probe = 0;
    return source.Read(&probe, 1) == 1;
}

// Stopping on the last chunk still gives a whole entry (106); stopping earlier
// drops the partial entry where that is possible (106) and otherwise leaves it
// open for the caller to abandon (105).
void CZipContainer::HandleAbort(bool exhausted, bool replacement, CZipProgressCallback* callback,
                                const std::string& path)
{
    int cause = CZipException::ErrAbortedSafely;
    if (exhausted)
        CloseNewFile();
    else if (m_storage.IsSpanMode() == 0 && !replacement)
        CloseNewFile(true);
    else
        cause = CZipException::ErrAborted;
    if (callback)
        callback->CallbackEnd();
    throw CZipException(cause, path);
}

bool CZipContainer::CheckGainAfter(AddPlan& plan)
{
    const CZipEntryHeader& last = m_directory[m_directory.GetCount() - 1];
    if (last.GetDataSize() <= last.m_uncompressedSize)
        return true;
    RemoveLastEntry();
    CZipAddInfo stored = plan.info;
    stored.m_nameInArchive = plan.header.m_fileName;
    stored.m_level = 0;
    stored.m_smartFlags = CZipAddInfo::SmartInternal;
    stored.m_replaceIndex = -1;
    return AddNewFile(stored);
}
