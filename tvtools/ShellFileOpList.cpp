#include "ShellFileOpList.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Small lists are common (one source, one target); start with room for a few paths.
constexpr std::size_t kMinimumAllocation = 256;

} // namespace

CShellFileOpList::CShellFileOpList(const CShellFileOpList& other)
{
    *this = other;
}

CShellFileOpList& CShellFileOpList::operator=(const CShellFileOpList& other)
{
    if (this == &other)
        return *this;
    m_buffer.reset();
    m_used = m_allocated = 0;
    if (other.m_allocated > 0 && Grow(other.m_allocated)) {
        std::memcpy(m_buffer.get(), other.m_buffer.get(), other.m_used + 1);
        m_used = other.m_used;
    }
    return *this;
}

bool CShellFileOpList::Add(const std::string& path)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    // The path, its zero and the list's final zero must fit.
    const std::size_t needed = m_used + path.size() + 2;
    if (needed > m_allocated && !Grow(std::max({needed, m_allocated * 2, kMinimumAllocation})))
        return false;
    std::memcpy(m_buffer.get() + m_used, path.c_str(), path.size() + 1);
    m_used += path.size() + 1;
    m_buffer[m_used] = '\0';
    return true;
}

bool CShellFileOpList::Reserve(std::size_t size)
{
    return size <= m_allocated || Grow(size);
}

void CShellFileOpList::Clear()
{
    m_used = 0;
    if (m_buffer)
        m_buffer[0] = m_buffer[1] = '\0';
}

const char* CShellFileOpList::Data() const
{
    static const char kEmpty[2] = {'\0', '\0'};
    return m_buffer ? m_buffer.get() : kEmpty;
}

std::vector<std::string> CShellFileOpList::Paths() const
{
    std::vector<std::string> paths;
    const char* data = Data();
    for (std::size_t at = 0; at < m_used;) {
        paths.emplace_back(data + at);
        at += paths.back().size() + 1;
    }
    return paths;
}

std::size_t CShellFileOpList::Count() const
{
    return static_cast<std::size_t>(std::count(Data(), Data() + m_used, '\0'));
}

bool CShellFileOpList::Grow(std::size_t needed)
{
    // Two bytes at least, so an empty list still reads as "\0\0".
    needed = std::max<std::size_t>(needed, 2);
    std::unique_ptr<char[]> bigger(new (std::nothrow) char[needed]);
    if (!bigger)
        return false;
    std::memset(bigger.get(), 0, needed);
    if (m_buffer)
        std::memcpy(bigger.get(), m_buffer.get(), m_used + 1);
    m_buffer = std::move(bigger);
    m_allocated = needed;
    return true;
}
