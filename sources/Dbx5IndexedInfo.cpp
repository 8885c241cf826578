#include "Dbx5IndexedInfo.h"

#include "Dbx5Bytes.h"
#include "Dbx5Exception.h"
#include "Dbx5InputFile.h"

#include <algorithm>

namespace {

const char* const kFieldNames[CDbx5IndexedInfo::kMaxIndex] = {
    "folder index",
    "index of the parent folder",
    "folder name (newsgroup name)",
    "dbx file name",
    "id 04",
    "registry key of the account",
    "flags",
    "messages in the folder",
    "unread messages in the folder",
    "index for subfolders of 'local folders'",
    "local folder value",
    "id 0b",
    "id 0c",
    "max message index on server",
    "min message index on server",
    "id 0f",
    "max message index local",
    "min message index local",
    "messages to download",
    "id 13",
    "id 14",
    "id 15",
    "id 16",
    "id 17",
    "id 18",
    "id 19",
    "id 1a",
    "id 1b",
    "watched messages",
    "id 1d",
    "id 1e",
    "id 1f",
};

constexpr std::uint32_t kDirectBit = 0x80;
constexpr std::uint32_t kIndexMask = 0x7F;
constexpr std::uint32_t kDirectLength = 3;

} // namespace

void CDbx5IndexedInfo::Read(const CDbx5InputFile& file, std::uint32_t offset)
{
    m_values = {};
    m_mask = 0;
    ReadHead(file, offset);
    // The length was checked against the file, so this allocation is bounded by it.
    std::vector<std::uint8_t> body(m_bodyLength);
    if (!file.ReadAt(std::uint64_t{offset} + kHeadSize, body.data(), body.size()))
        throw CDbx5Exception("Error reading from input stream !");
    m_body = std::move(body);
    ReadIndex(m_entryCount);
}

void CDbx5IndexedInfo::ReadHead(const CDbx5InputFile& file, std::uint32_t offset)
{
    std::uint8_t head[kHeadSize];
    if (!file.ReadAt(offset, head, sizeof head))
        throw CDbx5Exception("Error reading from input stream !");
    if (dbx5::GetU32(head) != offset)
        throw CDbx5Exception("Wrong object marker !");
    m_bodyLength = dbx5::GetU32(head + 4);
    m_kept1 = static_cast<std::uint16_t>(dbx5::GetUpTo32(head + 8, 2));
    m_entryCount = head[10];
    m_kept2 = head[11];
    if (m_bodyLength > file.GetSize() - (std::uint64_t{offset} + kHeadSize))
        throw CDbx5Exception("Error reading from input stream !");
}

// Indirect values end where the next indirect value of the index begins, so their
// lengths are known only once the whole index is read; an index that names the same
// field twice keeps the later value.
void CDbx5IndexedInfo::ReadIndex(unsigned entryCount)
{
    const std::uint64_t dataStart = std::uint64_t{4} * entryCount;
    if (dataStart > m_body.size())
        throw CDbx5Exception("Index larger than body !");
    std::array<std::uint32_t, 256> indexes{};
    std::array<CValue, 256> values{};
    std::array<bool, 256> direct{};
    CValue* lastIndirect = nullptr;
    for (unsigned i = 0; i < entryCount; ++i) {
        const std::uint32_t entry = dbx5::GetU32(&m_body[4 * i]);
        indexes[i] = entry & kIndexMask;
        if (indexes[i] >= kMaxIndex)
            throw CDbx5Exception("Index to big !");
        direct[i] = (entry & kDirectBit) != 0;
        if (direct[i]) {
            values[i] = {4 * i + 1, kDirectLength};
            continue;
        }
        const std::uint64_t position = dataStart + (entry >> 8);
        if (position > m_body.size() || (lastIndirect && position < lastIndirect->position))
            throw CDbx5Exception("Value outside the body !");
        if (lastIndirect)
            lastIndirect->length = static_cast<std::uint32_t>(position) - lastIndirect->position;
        values[i].position = static_cast<std::uint32_t>(position);
        lastIndirect = &values[i];
    }
    if (lastIndirect)
        lastIndirect->length = static_cast<std::uint32_t>(m_body.size()) - lastIndirect->position;
    for (unsigned i = 0; i < entryCount; ++i) {
        m_values[indexes[i]] = values[i];
        m_mask |= std::uint32_t{1} << indexes[i];
    }
}

std::uint32_t CDbx5IndexedInfo::GetLength(unsigned index) const
{
    return Has(index) ? m_values[index].length : 0;
}

std::uint32_t CDbx5IndexedInfo::GetInteger(unsigned index) const
{
    if (!Has(index) || m_values[index].length == 0)
        return 0;
    const CValue& value = m_values[index];
    return dbx5::GetUpTo32(&m_body[value.position], std::min<std::uint32_t>(value.length, 4));
}

std::string CDbx5IndexedInfo::GetString(unsigned index) const
{
    if (!Has(index))
        return {};
    const CValue& value = m_values[index];
    const auto* begin = reinterpret_cast<const char*>(m_body.data()) + value.position;
    const auto* end = std::find(begin, begin + value.length, '\0');
    return std::string(begin, end);
}

const char* CDbx5IndexedInfo::GetFieldName(unsigned index)
{
    if (index >= kMaxIndex)
        throw CDbx5Exception("Wrong index !");
    return kFieldNames[index];
}
