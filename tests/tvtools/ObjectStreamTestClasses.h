#pragma once

// Two small stream classes for the tests of the object stream, and helpers to build
// expected bytes by hand.
#include "ObjectReader.h"
#include "ObjectWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace streamtest {

using Bytes = std::vector<std::uint8_t>;

class CTestPoint : public CStreamObject
{
public:
    static constexpr const char* kStreamClassName = "CTestPoint";
    CTestPoint() = default;
    CTestPoint(std::int32_t x, std::int32_t y) : x(x), y(y) {}
    const char* GetStreamClassName() const override { return kStreamClassName; }
    void WriteTo(CObjectWriter& out) const override
    {
        out.WriteI32(x);
        out.WriteI32(y);
    }
    void ReadFrom(CObjectReader& in) override
    {
        x = in.ReadI32();
        y = in.ReadI32();
    }
    std::int32_t x = 0;
    std::int32_t y = 0;
};

class CTestLabel : public CStreamObject
{
public:
    static constexpr const char* kStreamClassName = "CTestLabel";
    CTestLabel() = default;
    explicit CTestLabel(std::string text) : text(std::move(text)) {}
    const char* GetStreamClassName() const override { return kStreamClassName; }
    void WriteTo(CObjectWriter& out) const override { out.WriteString(text); }
    void ReadFrom(CObjectReader& in) override { text = in.ReadString(); }
    std::string text;
};

inline void Append(Bytes& bytes, const Bytes& more)
{
    bytes.insert(bytes.end(), more.begin(), more.end());
}

inline void AppendText(Bytes& bytes, const std::string& text)
{
    bytes.insert(bytes.end(), text.begin(), text.end());
}

inline void AppendU16(Bytes& bytes, std::uint16_t value)
{
    Append(bytes, {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)});
}

inline void AppendU32(Bytes& bytes, std::uint32_t value)
{
    AppendU16(bytes, static_cast<std::uint16_t>(value));
    AppendU16(bytes, static_cast<std::uint16_t>(value >> 16));
}

// The new-class tag with schema 0 and the class name.
inline void AppendNewClass(Bytes& bytes, const std::string& name)
{
    Append(bytes, {0xFF, 0xFF, 0x00, 0x00});
    AppendU16(bytes, static_cast<std::uint16_t>(name.size()));
    AppendText(bytes, name);
}

} // namespace streamtest
