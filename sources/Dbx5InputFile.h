#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The folder index opened for reading only. Only a regular file is taken: a FIFO
// would block the reader and a device or folder is no index. Reads are positioned
// and whole: a read that the file cannot fill entirely fails, so nothing is ever
// interpreted from bytes that are not there.
class CDbx5InputFile
{
public:
    CDbx5InputFile() = default;
    ~CDbx5InputFile();
    CDbx5InputFile(const CDbx5InputFile&) = delete;
    CDbx5InputFile& operator=(const CDbx5InputFile&) = delete;

    // False when the path cannot be opened or names no regular file.
    bool Open(const std::string& path);
    void Close();
    std::uint64_t GetSize() const { return m_size; }
    std::uint64_t GetDevice() const { return m_device; }
    std::uint64_t GetInode() const { return m_inode; }
    // True when all `length` bytes at `offset` lie in the file and were read.
    bool ReadAt(std::uint64_t offset, void* data, std::size_t length) const;

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
};
