#include "ObjectReader.h"

#include "ObjectStreamTags.h"

using namespace objecttag;

namespace {

// A class name from the stream, fit for a message: printable ASCII, at most 64 bytes.
std::string Printable(const std::string& name)
{
    std::string shown;
    for (const char c : name.substr(0, 64))
        shown += (c >= 0x20 && c < 0x7F) ? c : '?';
    return name.size() > 64 ? shown + "..." : shown;
}

} // namespace

void CObjectReader::AcceptClass(const std::string& name, Factory factory)
{
    m_accepted.push_back({name, std::move(factory)});
}

void CObjectReader::Fail(const std::string& what) const
{
    throw CObjectStreamError(what + " (at byte " + std::to_string(m_size - m_in.Remaining()) + ")");
}

std::uint16_t CObjectReader::ReadU16()
{
    std::uint16_t value = 0;
    if (!m_in.U16(value))
        FailEnd();
    return value;
}

std::uint32_t CObjectReader::ReadU32()
{
    std::uint32_t value = 0;
    if (!m_in.U32(value))
        FailEnd();
    return value;
}

std::string CObjectReader::ReadString()
{
    std::string text;
    if (!m_in.String(text))
        Fail("Bad or cut-short string");
    return text;
}

std::uint32_t CObjectReader::ReadCount(std::size_t minElementSize)
{
    std::uint32_t count = 0;
    if (!m_in.Count(count, minElementSize))
        Fail("Bad or cut-short count");
    return count;
}

std::uint32_t CObjectReader::TakeNumber()
{
    if (m_nextNumber > kMaxNumber)
        Fail("Too many objects in the object stream");
    return m_nextNumber++;
}

std::size_t CObjectReader::ReadNewClass()
{
    const std::uint16_t schema = ReadU16();
    const std::uint16_t length = ReadU16();
    if (length > m_in.Remaining())
        FailEnd();
    std::string name(length, '\0');
    for (char& c : name) {
        std::uint8_t byte = 0;
        m_in.U8(byte);
        c = static_cast<char>(byte);
    }
    std::size_t index = 0;
    while (index < m_accepted.size() && m_accepted[index].name != name)
        ++index;
    if (index == m_accepted.size())
        Fail("Unknown class \"" + Printable(name) + "\" in the object stream");
    if (schema != 0)
        Fail("Unknown schema " + std::to_string(schema) + " of class " + Printable(name));
    m_classes[TakeNumber()] = index;
    return index;
}

std::size_t CObjectReader::FindClass(std::uint32_t number) const
{
    const auto found = m_classes.find(number);
    if (found == m_classes.end())
        Fail("Reference to unknown class " + std::to_string(number));
    return found->second;
}

std::unique_ptr<CStreamObject> CObjectReader::ReadObject()
{
    const std::uint16_t tag = ReadU16();
    if (tag == kNullTag)
        return nullptr;
    std::size_t index = 0;
    if (tag == kNewClassTag) {
        index = ReadNewClass();
    } else if (tag == kBigTag) {
        const std::uint32_t wide = ReadU32();
        if (!(wide & kBigClassTag))
            Fail("Reference to an earlier object");
        index = FindClass(wide & ~kBigClassTag);
    } else if (tag & kClassTag) {
        index = FindClass(tag & ~kClassTag);
    } else {
        Fail("Reference to an earlier object");
    }
    TakeNumber();
    std::unique_ptr<CStreamObject> object = m_accepted[index].factory();
    object->ReadFrom(*this);
    return object;
}
