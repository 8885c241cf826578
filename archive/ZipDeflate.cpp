#include "ZipDeflate.h"

#include "ZipException.h"

void CZipDeflate::Begin(int level)
{
    End();
    m_stream = z_stream{};
    m_memory.Attach(m_stream);
    const int result =
        deflateInit2(&m_stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    if (result != Z_OK) {
        End();
        throw CZipException(CZipException::CauseOfZlibResult(result));
    }
    m_active = true;
}

void CZipDeflate::Compress(const char* data, std::uint32_t size, char* out, std::uint32_t capacity,
                           std::uint32_t& used, const Sink& sink)
{
    m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    m_stream.avail_in = size;
    Run(Z_NO_FLUSH, out, capacity, used, sink);
}

void CZipDeflate::Finish(char* out, std::uint32_t capacity, std::uint32_t& used, const Sink& sink)
{
    m_stream.next_in = nullptr;
    m_stream.avail_in = 0;
    Run(Z_FINISH, out, capacity, used, sink);
}

void CZipDeflate::Run(int flush, char* out, std::uint32_t capacity, std::uint32_t& used,
                      const Sink& sink)
{
    for (;;) {
        if (used == capacity) {
            sink(out, used);
            used = 0;
        }
        m_stream.next_out = reinterpret_cast<Bytef*>(out + used);
        m_stream.avail_out = capacity - used;
        const int result = deflate(&m_stream, flush);
        used = capacity - m_stream.avail_out;
        if (result == Z_STREAM_END)
            return;
        if (result != Z_OK && result != Z_BUF_ERROR)
            throw CZipException(CZipException::CauseOfZlibResult(result));
        if (m_stream.avail_out != 0) {
            // Room was left, so deflate ran out of input: done for now. Finishing
            // never stops short of the stream end with room left.
            if (flush == Z_NO_FLUSH)
                return;
            throw CZipException(CZipException::ErrZlibBuffer);
        }
    }
}

void CZipDeflate::End()
{
    if (m_active)
        deflateEnd(&m_stream);
    m_active = false;
    m_memory.FreeAll();
}
