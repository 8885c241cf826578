#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CDbx5InputFile;

// One indexed info object of the folder index: a 12-byte head (marker, body length,
// two kept fields, the number of index entries) and a body that starts with the index
// entries, 4 bytes each, followed by the data of the indirect values. Up to 32 values,
// by index: a direct one is held in the 3 bytes after its entry's first byte, an
// indirect one lies in the data and runs to the next indirect value's data (the last
// to the body's end).
//
// Every value is checked to lie inside the body when the object is read, so the
// getters never look outside it.
class CDbx5IndexedInfo
{
public:
    static constexpr unsigned kMaxIndex = 32;
    static constexpr std::uint32_t kHeadSize = 12;

    // Throws CDbx5Exception when the object is damaged or not in the file.
    void Read(const CDbx5InputFile& file, std::uint32_t offset);

    // Bit i set: the object holds a value of index i.
    std::uint32_t GetMask() const { return m_mask; }
    bool Has(unsigned index) const { return index < kMaxIndex && (m_mask >> index & 1) != 0; }
    std::uint32_t GetLength(unsigned index) const;
    // 0 when absent or empty; the first 4 bytes of a longer value; else the number its
    // 1-3 bytes form.
    std::uint32_t GetInteger(unsigned index) const;
    // The bytes up to the value's terminating zero, or to its end when it has none.
    std::string GetString(unsigned index) const;

    std::uint16_t GetKept1() const { return m_kept1; }
    std::uint8_t GetKept2() const { return m_kept2; }

    // The name of a folder entry's field of that index; throws "Wrong index !" from 32 on.
    static const char* GetFieldName(unsigned index);

private:
    struct CValue
    {
        std::uint32_t position = 0; // in the body
        std::uint32_t length = 0;
    };

    void ReadHead(const CDbx5InputFile& file, std::uint32_t offset);
    void ReadIndex(unsigned entryCount);

    std::vector<std::uint8_t> m_body;
    std::array<CValue, kMaxIndex> m_values{};
    std::uint32_t m_mask = 0;
    std::uint32_t m_bodyLength = 0;
    std::uint16_t m_kept1 = 0;
    std::uint8_t m_entryCount = 0;
    std::uint8_t m_kept2 = 0;
};
