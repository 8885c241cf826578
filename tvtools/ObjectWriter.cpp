#include "ObjectWriter.h"

#include "ObjectStreamError.h"
#include "ObjectStreamTags.h"
#include "WholeFile.h"

#include <limits>

using namespace objecttag;

void CObjectWriter::WriteString(std::string_view text)
{
    if (!m_out.String(text))
        throw CObjectStreamError("A string is too long for the object stream");
}

void CObjectWriter::WriteCount(std::size_t count)
{
    if (!m_out.Count(count))
        throw CObjectStreamError("A list is too long for the object stream");
}

std::uint32_t CObjectWriter::TakeNumber()
{
    if (m_nextNumber > kMaxNumber)
        throw CObjectStreamError("Too many objects for one object stream");
    return m_nextNumber++;
}

void CObjectWriter::WriteClassTag(std::string_view name)
{
    const auto known = m_classNumbers.find(std::string(name));
    if (known == m_classNumbers.end()) {
        if (name.size() > std::numeric_limits<std::uint16_t>::max())
            throw CObjectStreamError("A class name is too long for the object stream");
        m_out.U16(kNewClassTag);
        m_out.U16(0); // schema
        m_out.U16(static_cast<std::uint16_t>(name.size()));
        m_bytes.insert(m_bytes.end(), name.begin(), name.end());
        m_classNumbers.emplace(std::string(name), TakeNumber());
        return;
    }
    const std::uint32_t number = known->second;
    if (number < kBigTag) {
        m_out.U16(static_cast<std::uint16_t>(kClassTag | number));
    } else {
        m_out.U16(kBigTag);
        m_out.U32(kBigClassTag | number);
    }
}

void CObjectWriter::WriteObject(const CStreamObject* object)
{
    if (!object) {
        m_out.U16(kNullTag);
        return;
    }
    WriteClassTag(object->GetStreamClassName());
    TakeNumber();
    object->WriteTo(*this);
}

bool CObjectWriter::SaveToFile(const std::string& path) const
{
    return TvReplaceFile(path, m_bytes);
}
