#include "ZipException.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

CZipException::CZipException(int cause, std::string fileName, int systemError)
    : m_cause(cause), m_fileName(std::move(fileName)), m_systemError(systemError),
      m_description(Describe(cause, systemError))
{
}

CZipException CZipException::FromErrno(int error, std::string fileName)
{
    const int cause = HasRuntimeErrorText(error) ? error : ErrGeneric;
    return CZipException(cause, std::move(fileName), error);
}

int CZipException::CauseOfZlibResult(int result)
{
    switch (result) {
    case Z_STREAM_END:
        return ErrZlibStreamEnd;
    case Z_NEED_DICT:
        return ErrZlibNeedDict;
    case Z_ERRNO:
        return ErrZlibErrno;
    case Z_STREAM_ERROR:
        return ErrZlibStream;
    case Z_DATA_ERROR:
        return ErrZlibData;
    case Z_MEM_ERROR:
        return ErrNoMemory;
    case Z_BUF_ERROR:
        return ErrZlibBuffer;
    case Z_VERSION_ERROR:
        return ErrZlibVersion;
    default:
        return ErrGeneric;
    }
}

void CZipException::ThrowIfZlibError(int result, const std::string& fileName)
{
    if (result == Z_OK || result == Z_NEED_DICT)
        return;
    // Z_ERRNO means a system call inside zlib failed; keep what it said.
    const int systemError = result == Z_ERRNO ? errno : 0;
    throw CZipException(CauseOfZlibResult(result), fileName, systemError);
}

bool CZipException::GetErrorMessage(char* buffer, std::size_t capacity) const
{
    if (!buffer || capacity == 0 || m_description.empty())
        return false;
    const std::size_t length = std::min(m_description.size(), capacity - 1);
    std::memcpy(buffer, m_description.data(), length);
    buffer[length] = '\0';
    return true;
}
