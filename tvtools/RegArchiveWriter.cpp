#include "RegArchiveWriter.h"

namespace {

// 0xFFFFFFFF itself is not a length or count the form can carry: in this family of
// formats it announces a still wider number, which this form does not have.
constexpr std::size_t kMax32 = 0xFFFFFFFEu;

} // namespace

void CRegArchiveWriter::U16(std::uint16_t value)
{
    m_out.push_back(static_cast<std::uint8_t>(value));
    m_out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void CRegArchiveWriter::U32(std::uint32_t value)
{
    U16(static_cast<std::uint16_t>(value));
    U16(static_cast<std::uint16_t>(value >> 16));
}

bool CRegArchiveWriter::Count(std::size_t count)
{
    if (count > kMax32)
        return false;
    if (count < 0xFFFF) {
        U16(static_cast<std::uint16_t>(count));
    } else {
        U16(0xFFFF);
        U32(static_cast<std::uint32_t>(count));
    }
    return true;
}

bool CRegArchiveWriter::String(std::string_view text)
{
    const std::size_t length = text.size();
    if (length > kMax32)
        return false;
    if (length < 0xFF) {
        U8(static_cast<std::uint8_t>(length));
    } else if (length < 0xFFFE) {
        U8(0xFF);
        U16(static_cast<std::uint16_t>(length));
    } else {
        U8(0xFF);
        U16(0xFFFF);
        U32(static_cast<std::uint32_t>(length));
    }
    m_out.insert(m_out.end(), text.begin(), text.end());
    return true;
}
