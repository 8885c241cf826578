#include "FailingStream.h"

#include "ZipException.h"

#include <algorithm>
#include <cerrno>

namespace tbmtest {

namespace {

std::uint32_t Take(std::uint64_t& budget, std::uint32_t count)
{
    const std::uint32_t granted =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(budget, count));
    budget -= granted;
    return granted;
}

} // namespace

void CFailingStream::Write(const void* buffer, std::uint32_t count)
{
    const std::uint32_t granted = Take(m_budget->writeBytes, count);
    CZipForwardingStream::Write(buffer, granted);
    if (granted < count)
        throw CZipException::FromErrno(EIO, GetFilePath());
}

std::uint32_t CFailingStream::Read(void* buffer, std::uint32_t count)
{
    const std::uint32_t granted = Take(m_budget->readBytes, count);
    const std::uint32_t got = CZipForwardingStream::Read(buffer, granted);
    m_budget->readBytes += granted - got; // bytes not there were not spent
    if (granted < count && got == granted)
        throw CZipException::FromErrno(EIO, GetFilePath());
    return got;
}

void CFailingStream::SetLength(std::uint64_t length)
{
    if (m_budget->failSetLength)
        throw CZipException::FromErrno(EIO, GetFilePath());
    CZipForwardingStream::SetLength(length);
}

void CFailingStream::Flush()
{
    if (m_budget->failFlush)
        throw CZipException::FromErrno(EIO, GetFilePath());
    CZipForwardingStream::Flush();
}

} // namespace tbmtest
