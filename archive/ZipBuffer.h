#pragma once

#include <cstddef>
#include <vector>

// A block of bytes owned by the archive (write buffer, names, extra fields,
// passwords). An allocation that fails is error 505 ("Not enough memory").
class CZipBuffer
{
public:
    CZipBuffer() = default;
    explicit CZipBuffer(std::size_t size) { Allocate(size); }

    // Makes the buffer `size` bytes long, zero-filled.
    void Allocate(std::size_t size);
    void Release();
    std::size_t GetSize() const { return m_bytes.size(); }
    bool IsEmpty() const { return m_bytes.empty(); }
    char* GetBuffer() { return m_bytes.data(); }
    const char* GetBuffer() const { return m_bytes.data(); }
    char& operator[](std::size_t index) { return m_bytes[index]; }
    char operator[](std::size_t index) const { return m_bytes[index]; }

private:
    std::vector<char> m_bytes;
};
