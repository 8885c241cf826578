#pragma once

#include "ZipStream.h"

#include <memory>

// A stream that hands every operation to a stream it owns. Derived classes override
// what they want to watch or change: the simulated disks count the bytes written
// against their capacity, tests inject failures.
class CZipForwardingStream : public CZipStream
{
public:
    explicit CZipForwardingStream(std::unique_ptr<CZipStream> inner) : m_inner(std::move(inner)) {}

    bool Open(const std::string& path, unsigned flags, bool throwOnError) override
    {
        return m_inner->Open(path, flags, throwOnError);
    }
    void Close() override { m_inner->Close(); }
    void Flush() override { m_inner->Flush(); }
    std::uint64_t GetPosition() const override { return m_inner->GetPosition(); }
    std::uint64_t Seek(std::int64_t offset, SeekOrigin origin) override
    {
        return m_inner->Seek(offset, origin);
    }
    std::uint64_t GetLength() const override { return m_inner->GetLength(); }
    void SetLength(std::uint64_t length) override { m_inner->SetLength(length); }
    void SeekToBegin() override { m_inner->SeekToBegin(); }
    std::uint64_t SeekToEnd() override { return m_inner->SeekToEnd(); }
    std::string GetFilePath() const override { return m_inner->GetFilePath(); }
    std::uint32_t Read(void* buffer, std::uint32_t count) override
    {
        return m_inner->Read(buffer, count);
    }
    void Write(const void* buffer, std::uint32_t count) override { m_inner->Write(buffer, count); }
    bool IsClosed() const override { return m_inner->IsClosed(); }
    int GetHandle() const override { return m_inner->GetHandle(); }

    CZipStream& Inner() { return *m_inner; }

private:
    std::unique_ptr<CZipStream> m_inner;
};
