#pragma once

#include <cstdint>
#include <vector>

class CDbx5InputFile;

// The first 9,404 bytes of the folder index. Of its fields the reader needs two: the
// number of values (folder entries) in the folder tree and the offset of its root.
class CDbx5FileHeader
{
public:
    static constexpr std::uint32_t kSize = 0x24BC;
    static constexpr std::uint32_t kValueCountAt = 0x0CC;
    static constexpr std::uint32_t kRootOffsetAt = 0x0EC;

    // Throws CDbx5Exception when the file does not hold a whole header.
    void Read(const CDbx5InputFile& file);
    std::uint32_t GetValueCount() const;
    std::uint32_t GetRootOffset() const;

private:
    std::vector<std::uint8_t> m_bytes;
};
