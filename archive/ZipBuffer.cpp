#include "ZipBuffer.h"

#include "ZipException.h"

#include <new>
#include <stdexcept>

void CZipBuffer::Allocate(std::size_t size)
{
    try {
        std::vector<char>(size).swap(m_bytes);
    } catch (const std::bad_alloc&) {
        throw CZipException(CZipException::ErrNoMemory);
    } catch (const std::length_error&) {
        throw CZipException(CZipException::ErrNoMemory);
    }
}

void CZipBuffer::Release()
{
    std::vector<char>().swap(m_bytes);
}
