// Deleting entries: mark, then move the kept entries down over the gaps.
#include "ZipContainer.h"

#include "ZipException.h"

#include <algorithm>

void CZipContainer::DeleteFiles(std::vector<int> indexes)
{
    if (IsClosed() || m_entryState != 0 || m_storage.IsSpanMode() != 0 || m_storage.IsReadOnly())
        return;
    std::erase_if(indexes, [this](int index) { return !m_directory.IsValidIndex(index); });
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    if (indexes.empty())
        return;
    if (indexes.size() == m_directory.GetCount()) {
        DeleteAll();
        return;
    }
    std::vector<bool> remove(m_directory.GetCount(), false);
    for (int index : indexes)
        remove[static_cast<std::size_t>(index)] = true;
    const auto first = static_cast<std::size_t>(indexes.front());
    MarkForDeletion(first, remove);
    CutDirectory();
    MoveKeptEntries(first, remove);
}

void CZipContainer::DeleteAll()
{
    CZipProgressCallback* callback = StartProgress(
        CZipProgressCallback::CbDelete, {}, {}, m_directory.GetCount());
    CutDirectory();
    CZipStream& stream = m_storage.GetStream();
    stream.SetLength(m_directory.m_bytesBeforeZip);
    stream.SeekToEnd();
    m_directory.RemoveIf(std::vector<bool>(m_directory.GetCount(), true));
    if (callback)
        callback->CallbackEnd();
}

// The pre-pass only reports; stopping here changes nothing, hence 106.
void CZipContainer::MarkForDeletion(std::size_t first, std::vector<bool>& remove)
{
    CZipProgressCallback* callback =
        StartProgress(CZipProgressCallback::CbDeleteCount, {}, {},
                      m_directory.GetCount() - first);
    for (std::size_t i = first, n = 1; i < m_directory.GetCount(); ++i, ++n) {
        if (callback && n % CZipProgressCallback::CallbackStep == 0 &&
            !(*callback)(CZipProgressCallback::CallbackStep)) {
            callback->CallbackEnd();
            Throw(CZipException::ErrAbortedSafely);
        }
    }
    (void)remove;
    if (callback)
        callback->CallbackEnd();
}

// Each kept entry moves down by the bytes removed before it. An abort takes effect
// between entries: the deleted entries passed so far go, the rest stay where they
// are, and the directory matches the file either way.
void CZipContainer::MoveKeptEntries(std::size_t first, std::vector<bool>& remove)
{
    const std::size_t count = m_directory.GetCount();
    std::vector<std::uint64_t> ends(count);
    std::uint64_t toMove = 0;
    for (std::size_t i = first; i < count; ++i) {
        ends[i] = GetEntryEnd(i);
        if (ends[i] < m_directory[i].m_offset)
            Throw(CZipException::ErrDamaged);
        if (!remove[i])
            toMove += ends[i] - m_directory[i].m_offset;
    }
    CZipProgressCallback* callback =
        StartProgress(CZipProgressCallback::CbDelete, {}, {}, toMove);
    const std::uint64_t before = m_directory.m_bytesBeforeZip;
    const std::uint64_t dataEnd = GetDataEnd();
    std::uint64_t removed = 0;
    bool goOn = true;
    std::size_t i = first;
    for (; i < count && goOn; ++i) {
        CZipEntryHeader& header = m_directory[i];
        const std::uint64_t length = ends[i] - header.m_offset;
        if (remove[i]) {
            removed += length;
            continue;
        }
        goOn = MoveData(before + header.m_offset, before + header.m_offset - removed, length,
                        callback);
        header.m_offset -= removed;
    }
    for (std::size_t j = i; j < count; ++j)
        remove[j] = false; // not reached: they stay in their old places
    if (goOn) {
        CZipStream& stream = m_storage.GetStream();
        stream.SetLength(before + dataEnd - removed);
        stream.SeekToEnd();
    }
    m_directory.RemoveIf(remove);
    if (callback)
        callback->CallbackEnd();
    if (!goOn)
        Throw(CZipException::ErrAborted);
}
