#include "ZipInflate.h"

#include "ZipException.h"

void CZipInflate::Begin(const std::string& fileName)
{
    End();
    m_stream = z_stream{};
    m_memory.Attach(m_stream);
    const int result = inflateInit2(&m_stream, -MAX_WBITS);
    CZipException::ThrowIfZlibError(result, fileName);
    m_active = true;
}

bool CZipInflate::Run(const char* in, std::uint32_t inSize, char* out, std::uint32_t outSize,
                      std::uint32_t& consumed, std::uint32_t& produced, const std::string& fileName)
{
    m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in));
    m_stream.avail_in = inSize;
    m_stream.next_out = reinterpret_cast<Bytef*>(out);
    m_stream.avail_out = outSize;
    const int result = inflate(&m_stream, Z_SYNC_FLUSH);
    consumed = inSize - m_stream.avail_in;
    produced = outSize - m_stream.avail_out;
    if (result == Z_STREAM_END)
        return true;
    // No progress with input and room available means the stream cannot go on;
    // zlib reports it as a buffer error, which is damage here.
    CZipException::ThrowIfZlibError(result, fileName);
    return false;
}

void CZipInflate::End()
{
    if (m_active)
        inflateEnd(&m_stream);
    m_active = false;
    m_memory.FreeAll();
    m_stream = z_stream{};
}
