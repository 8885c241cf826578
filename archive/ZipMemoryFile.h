#pragma once

#include "ZipStream.h"

#include <cstdint>

// A growable block of memory used as a stream (in-memory archives, trial
// compression). Writing past the capacity grows it by the grow step, as many steps
// as the new end needs; a grow step of 0 or a failed allocation is error 505. The
// block can also be a caller's memory (Attach), which is never freed or resized
// here: growing it copies the contents into memory of our own.
class CZipMemoryFile : public CZipStream
{
public:
    explicit CZipMemoryFile(std::uint32_t growStep = 1024);
    ~CZipMemoryFile() override;

    // Uses `length` bytes at `data` as the contents (and capacity), not owned.
    void Attach(void* data, std::uint32_t length, std::uint32_t growStep = 0);
    const char* GetData() const { return m_data; }
    std::uint64_t GetCapacity() const { return m_capacity; }
    bool OwnsMemory() const { return m_owned; }

    // A memory file has no path: Open just starts a new, empty block.
    bool Open(const std::string& path, unsigned flags, bool throwOnError) override;
    void Close() override;
    void Flush() override {}
    std::uint64_t GetPosition() const override { return m_position; }
    std::uint64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::uint64_t GetLength() const override { return m_length; }
    void SetLength(std::uint64_t length) override;
    std::string GetFilePath() const override { return {}; }
    std::uint32_t Read(void* buffer, std::uint32_t count) override;
    void Write(const void* buffer, std::uint32_t count) override;
    bool IsClosed() const override { return m_data == nullptr; }

private:
    void Reserve(std::uint64_t capacity);
    void GrowFor(std::uint64_t end);
    void ZeroFill(std::uint64_t from, std::uint64_t to);

    char* m_data = nullptr;
    std::uint64_t m_position = 0;
    std::uint64_t m_length = 0;
    std::uint64_t m_capacity = 0;
    std::uint32_t m_growStep;
    bool m_owned = true;
};
