#include "RegistryArchive.h"

#include "RegArchiveReader.h"
#include "RegArchiveWriter.h"

#include <type_traits>
#include <utility>

namespace {

bool Put(CRegArchiveWriter& writer, std::uint8_t value)
{
    writer.U8(value);
    return true;
}
bool Put(CRegArchiveWriter& writer, std::uint16_t value)
{
    writer.U16(value);
    return true;
}
bool Put(CRegArchiveWriter& writer, std::uint32_t value)
{
    writer.U32(value);
    return true;
}
bool Put(CRegArchiveWriter& writer, const std::string& value)
{
    return writer.String(value);
}

bool Get(CRegArchiveReader& reader, std::uint8_t& value)
{
    return reader.U8(value);
}
bool Get(CRegArchiveReader& reader, std::uint16_t& value)
{
    return reader.U16(value);
}
bool Get(CRegArchiveReader& reader, std::uint32_t& value)
{
    return reader.U32(value);
}
bool Get(CRegArchiveReader& reader, std::string& value)
{
    return reader.String(value);
}

// The smallest number of bytes one element takes, to bound a count by what is left.
template <class T> constexpr std::size_t MinElementSize()
{
    if constexpr (std::is_same_v<T, std::string>)
        return 1;
    else
        return sizeof(T);
}

template <class Container> bool EncodeAll(const Container& in, std::vector<std::uint8_t>& out)
{
    std::vector<std::uint8_t> bytes;
    CRegArchiveWriter writer(bytes);
    if (!writer.Count(in.size()))
        return false;
    for (const auto& element : in)
        if (!Put(writer, element))
            return false;
    out.insert(out.end(), bytes.begin(), bytes.end());
    return true;
}

template <class Container>
bool DecodeAll(const std::uint8_t* data, std::size_t size, Container& out)
{
    using Element = typename Container::value_type;
    CRegArchiveReader reader(data, size);
    std::uint32_t count = 0;
    if (!reader.Count(count, MinElementSize<Element>()))
        return false;
    Container decoded;
    for (std::uint32_t i = 0; i < count; ++i) {
        Element element{};
        if (!Get(reader, element))
            return false;
        decoded.push_back(std::move(element));
    }
    out = std::move(decoded);
    return true;
}

} // namespace

bool CRegistryArchive::Encode(const std::vector<std::uint8_t>& in, std::vector<std::uint8_t>& out)
{
    return EncodeAll(in, out);
}

bool CRegistryArchive::Encode(const std::vector<std::uint16_t>& in, std::vector<std::uint8_t>& out)
{
    return EncodeAll(in, out);
}

bool CRegistryArchive::Encode(const std::vector<std::uint32_t>& in, std::vector<std::uint8_t>& out)
{
    return EncodeAll(in, out);
}

bool CRegistryArchive::Encode(const std::vector<std::string>& in, std::vector<std::uint8_t>& out)
{
    return EncodeAll(in, out);
}

bool CRegistryArchive::Encode(const std::list<std::string>& in, std::vector<std::uint8_t>& out)
{
    return EncodeAll(in, out);
}

bool CRegistryArchive::Decode(const std::uint8_t* data, std::size_t size,
                              std::vector<std::uint8_t>& out)
{
    return DecodeAll(data, size, out);
}

bool CRegistryArchive::Decode(const std::uint8_t* data, std::size_t size,
                              std::vector<std::uint16_t>& out)
{
    return DecodeAll(data, size, out);
}

bool CRegistryArchive::Decode(const std::uint8_t* data, std::size_t size,
                              std::vector<std::uint32_t>& out)
{
    return DecodeAll(data, size, out);
}

bool CRegistryArchive::Decode(const std::uint8_t* data, std::size_t size,
                              std::vector<std::string>& out)
{
    return DecodeAll(data, size, out);
}

bool CRegistryArchive::Decode(const std::uint8_t* data, std::size_t size,
                              std::list<std::string>& out)
{
    return DecodeAll(data, size, out);
}
