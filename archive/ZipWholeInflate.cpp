#include "ZipWholeInflate.h"

#include "ZipException.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

CZipWholeInflate::~CZipWholeInflate()
{
    if (m_decompressor)
        libdeflate_free_decompressor(m_decompressor);
}

char* CZipWholeInflate::Input(std::uint32_t size)
{
    Clear();
    // One byte more than needed, so that an empty entry has a buffer too.
    m_input.resize(std::max<std::size_t>(m_input.size(), std::size_t{size} + 1));
    m_inputSize = size;
    return m_input.data();
}

void CZipWholeInflate::Inflate(std::uint64_t expected, const std::string& fileName)
{
    if (!m_decompressor) {
        m_decompressor = libdeflate_alloc_decompressor();
        if (!m_decompressor)
            throw CZipException(CZipException::ErrNoMemory, fileName);
    }
    m_output.resize(std::max<std::size_t>(m_output.size(), static_cast<std::size_t>(expected) + 1));
    std::size_t used = 0;
    std::size_t produced = 0;
    const libdeflate_result result =
        libdeflate_deflate_decompress_ex(m_decompressor, m_input.data(), m_inputSize, m_output.data(),
                                         static_cast<std::size_t>(expected), &used, &produced);
    // A stream that needs more than its input was read past its end.
    if ((result != LIBDEFLATE_SUCCESS && result != LIBDEFLATE_SHORT_OUTPUT) || used > m_inputSize)
        CZipException::ThrowIfZlibError(Z_DATA_ERROR, fileName);
    m_outputSize = produced;
    m_taken = 0;
    m_inflated = true;
}

std::uint32_t CZipWholeInflate::Take(char* out, std::uint32_t room, bool& ended)
{
    const auto size =
        static_cast<std::uint32_t>(std::min<std::size_t>(room, m_outputSize - m_taken));
    std::memcpy(out, m_output.data() + m_taken, size);
    m_taken += size;
    ended = m_taken == m_outputSize;
    return size;
}

void CZipWholeInflate::Clear()
{
    m_inflated = false;
    m_inputSize = m_outputSize = m_taken = 0;
}
