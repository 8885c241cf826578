#pragma once

#include "RegArchiveWriter.h"
#include "StreamObject.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Builds an object stream in memory (little-endian):
//  - numbers: u16, u32, i32;
//  - strings: a 1-byte length below 255; else 0xFF and a u16 length below 0xFFFE; else
//    0xFF, 0xFFFF and a u32 length; then the bytes, no terminator;
//  - counts: a u16 below 0xFFFF; else 0xFFFF and a u32;
//  - objects: the first object of a class is preceded by 0xFFFF, the schema (u16, 0),
//    the name length (u16) and the name; classes and objects are numbered together
//    from 1 in order of appearance, and later objects of a class are preceded by
//    0x8000 | class number (0x7FFF and u32 0x80000000 | number from 0x7FFF on);
//    a null object is 0x0000.
// Every object is written in full: the streams of this system never hold one object
// twice, so no back references to earlier objects are made.
// Lengths and counts beyond 32 bits throw CObjectStreamError.
class CObjectWriter
{
public:
    CObjectWriter() : m_out(m_bytes) {}
    CObjectWriter(const CObjectWriter&) = delete;
    CObjectWriter& operator=(const CObjectWriter&) = delete;

    void WriteU16(std::uint16_t value) { m_out.U16(value); }
    void WriteU32(std::uint32_t value) { m_out.U32(value); }
    void WriteI32(std::int32_t value) { m_out.U32(static_cast<std::uint32_t>(value)); }
    void WriteString(std::string_view text);
    void WriteCount(std::size_t count);
    void WriteObject(const CStreamObject* object);

    // An array or list of objects: the count, then each object. Elements may be
    // pointers, unique_ptrs or the objects themselves.
    template <class Range> void WriteObjects(const Range& objects)
    {
        WriteCount(static_cast<std::size_t>(std::size(objects)));
        for (const auto& element : objects)
            WriteObject(AsObject(element));
    }

    const std::vector<std::uint8_t>& GetBytes() const { return m_bytes; }
    // Replaces the file with the stream through a temporary file and a rename. False
    // with errno set when the file was not replaced.
    bool SaveToFile(const std::string& path) const;

private:
    static const CStreamObject* AsObject(const CStreamObject* object) { return object; }
    static const CStreamObject* AsObject(const CStreamObject& object) { return &object; }
    template <class T> static const CStreamObject* AsObject(const std::unique_ptr<T>& object)
    {
        return object.get();
    }

    std::uint32_t TakeNumber();
    void WriteClassTag(std::string_view name);

    std::vector<std::uint8_t> m_bytes;
    CRegArchiveWriter m_out;
    std::unordered_map<std::string, std::uint32_t> m_classNumbers;
    std::uint32_t m_nextNumber = 1;
};
