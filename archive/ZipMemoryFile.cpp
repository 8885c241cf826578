#include "ZipMemoryFile.h"

#include "ZipException.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// What one block of memory may hold, and a seek may reach.
constexpr std::uint64_t kMaxLength = std::numeric_limits<std::int64_t>::max();

} // namespace

CZipMemoryFile::CZipMemoryFile(std::uint32_t growStep) : m_growStep(growStep) {}

CZipMemoryFile::~CZipMemoryFile()
{
    Close();
}

void CZipMemoryFile::Attach(void* data, std::uint32_t length, std::uint32_t growStep)
{
    Close();
    m_data = static_cast<char*>(data);
    m_length = m_capacity = data ? length : 0;
    m_growStep = growStep;
    m_owned = false;
}

bool CZipMemoryFile::Open(const std::string&, unsigned, bool)
{
    Close();
    return true;
}

void CZipMemoryFile::Close()
{
    if (m_owned)
        std::free(m_data);
    m_data = nullptr;
    m_position = m_length = m_capacity = 0;
    m_owned = true;
}

// Makes the capacity exactly `capacity` (never less than the length).
void CZipMemoryFile::Reserve(std::uint64_t capacity)
{
    char* block = nullptr;
    if (m_owned) {
        block = static_cast<char*>(std::realloc(m_data, static_cast<std::size_t>(capacity)));
    } else {
        block = static_cast<char*>(std::malloc(static_cast<std::size_t>(capacity)));
        if (block && m_length > 0)
            std::memcpy(block, m_data, static_cast<std::size_t>(m_length));
    }
    if (!block)
        throw CZipException(CZipException::ErrNoMemory);
    m_data = block;
    m_capacity = capacity;
    m_owned = true;
}

void CZipMemoryFile::GrowFor(std::uint64_t end)
{
    if (end > kMaxLength)
        throw CZipException::FromErrno(EFBIG);
    if (end <= m_capacity)
        return;
    if (m_growStep == 0)
        throw CZipException(CZipException::ErrNoMemory);
    const std::uint64_t steps = (end - m_capacity + m_growStep - 1) / m_growStep;
    Reserve(std::min(m_capacity + steps * m_growStep, kMaxLength));
}

void CZipMemoryFile::ZeroFill(std::uint64_t from, std::uint64_t to)
{
    if (to > from)
        std::memset(m_data + from, 0, static_cast<std::size_t>(to - from));
}

std::uint64_t CZipMemoryFile::Seek(std::int64_t offset, SeekOrigin origin)
{
    const std::uint64_t start = origin == FromCurrent ? m_position : origin == FromEnd ? m_length : 0;
    const auto base = static_cast<std::int64_t>(start);
    const auto max = static_cast<std::int64_t>(kMaxLength);
    if (offset > max - base)
        throw CZipException::FromErrno(EFBIG);
    if (offset < -base)
        throw CZipException::FromErrno(EINVAL);
    m_position = static_cast<std::uint64_t>(base + offset);
    return m_position;
}

void CZipMemoryFile::SetLength(std::uint64_t length)
{
    if (length > kMaxLength)
        throw CZipException::FromErrno(EFBIG);
    if (length > m_capacity)
        Reserve(length);
    ZeroFill(m_length, length);
    m_length = length;
    m_position = std::min(m_position, length);
}

std::uint32_t CZipMemoryFile::Read(void* buffer, std::uint32_t count)
{
    if (m_position >= m_length || count == 0)
        return 0;
    const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, m_length - m_position));
    std::memcpy(buffer, m_data + m_position, n);
    m_position += n;
    return n;
}

void CZipMemoryFile::Write(const void* buffer, std::uint32_t count)
{
    if (count == 0)
        return;
    const std::uint64_t end = static_cast<std::uint64_t>(m_position) + count;
    GrowFor(end);
    ZeroFill(m_length, m_position);
    std::memcpy(m_data + m_position, buffer, count);
    m_position = end;
    m_length = std::max(m_length, m_position);
}
