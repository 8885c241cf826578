// CRegistry: binary values in the archive form.
#include "Registry.h"

#include "RegApi.h"
#include "RegistryArchive.h"

namespace {

// Query buffer for a rectangle or a point: their form takes 22 bytes.
constexpr DWORD kGeometryBuffer = 30;
// A rectangle or point is stored as a 32-bit array of this many elements.
constexpr std::size_t kGeometryElements = 5;

} // namespace

template <class T> bool CRegistry::WriteArchive(const std::string& name, const T& value)
{
    return Guarded([&] {
        std::vector<std::uint8_t> bytes;
        bytes.reserve(kBinaryLimit);
        // A form beyond the limit could never be read back: refuse it and store nothing.
        if (!CRegistryArchive::Encode(value, bytes) || bytes.size() > kBinaryLimit) {
            Record(ERROR_INVALID_PARAMETER, REG_BINARY, static_cast<DWORD>(bytes.size()));
            return false;
        }
        return WriteBytes(name, REG_BINARY, bytes.data(), bytes.size());
    });
}

template <class T> bool CRegistry::ReadArchive(const std::string& name, T& value, DWORD bufferSize)
{
    return Guarded([&] {
        std::vector<std::uint8_t> buffer(bufferSize);
        DWORD type = REG_NONE;
        DWORD size = bufferSize;
        const LONG result =
            TvRegQueryValueEx(m_currentKey, name.c_str(), nullptr, &type, buffer.data(), &size);
        Record(result, type, size);
        if (m_lastResult != ERROR_SUCCESS)
            return false;
        // A value of another type is not ours to decode; the read itself succeeded.
        if (type != REG_BINARY)
            return true;
        if (!CRegistryArchive::Decode(buffer.data(), size, value)) {
            m_lastResult = ERROR_INVALID_DATA;
            return false;
        }
        return true;
    });
}

template <class T> bool CRegistry::ReadPresized(const std::string& name, std::vector<T>& value)
{
    std::vector<T> stored;
    if (!ReadArchive(name, stored, kBinaryLimit))
        return false;
    // Only a decoded binary value changes the caller's array.
    if (m_lastType != REG_BINARY)
        return true;
    return Guarded([&] {
        stored.resize(value.size());
        value.swap(stored);
        return true;
    });
}

bool CRegistry::ReadFive(const std::string& name, std::vector<std::uint32_t>& five)
{
    if (!ReadArchive(name, five, kGeometryBuffer))
        return false;
    // Left empty for a value that is not binary, which changes nothing.
    if (m_lastType == REG_BINARY)
        five.resize(kGeometryElements);
    return true;
}

bool CRegistry::Write(const std::string& name, const std::vector<std::uint8_t>& bytes) noexcept
{
    return WriteArchive(name, bytes);
}

bool CRegistry::Write(const std::string& name, const std::vector<std::uint16_t>& words) noexcept
{
    return WriteArchive(name, words);
}

bool CRegistry::Write(const std::string& name, const std::vector<std::uint32_t>& dwords) noexcept
{
    return WriteArchive(name, dwords);
}

bool CRegistry::Write(const std::string& name, const std::vector<std::string>& strings) noexcept
{
    return WriteArchive(name, strings);
}

bool CRegistry::Write(const std::string& name, const std::list<std::string>& strings) noexcept
{
    return WriteArchive(name, strings);
}

bool CRegistry::Write(const std::string& name, const TvRect& rect) noexcept
{
    return Guarded([&] {
        const std::vector<std::uint32_t> five = {
            static_cast<std::uint32_t>(rect.top), static_cast<std::uint32_t>(rect.bottom),
            static_cast<std::uint32_t>(rect.left), static_cast<std::uint32_t>(rect.right), 0};
        return WriteArchive(name, five);
    });
}

bool CRegistry::Write(const std::string& name, const TvPoint& point) noexcept
{
    return Guarded([&] {
        const std::vector<std::uint32_t> five = {static_cast<std::uint32_t>(point.x),
                                                 static_cast<std::uint32_t>(point.y), 0, 0, 0};
        return WriteArchive(name, five);
    });
}

bool CRegistry::Read(const std::string& name, std::vector<std::uint8_t>& bytes) noexcept
{
    return ReadArchive(name, bytes, kBinaryLimit);
}

bool CRegistry::Read(const std::string& name, std::vector<std::uint16_t>& words) noexcept
{
    return ReadPresized(name, words);
}

bool CRegistry::Read(const std::string& name, std::vector<std::uint32_t>& dwords) noexcept
{
    return ReadPresized(name, dwords);
}

bool CRegistry::Read(const std::string& name, std::vector<std::string>& strings) noexcept
{
    return ReadArchive(name, strings, kBinaryLimit);
}

bool CRegistry::Read(const std::string& name, std::list<std::string>& strings) noexcept
{
    return ReadArchive(name, strings, kBinaryLimit);
}

bool CRegistry::Read(const std::string& name, TvRect& rect) noexcept
{
    return Guarded([&] {
        std::vector<std::uint32_t> five;
        if (!ReadFive(name, five))
            return false;
        if (five.empty())
            return true;
        rect.top = static_cast<std::int32_t>(five[0]);
        rect.bottom = static_cast<std::int32_t>(five[1]);
        rect.left = static_cast<std::int32_t>(five[2]);
        rect.right = static_cast<std::int32_t>(five[3]);
        return true;
    });
}

bool CRegistry::Read(const std::string& name, TvPoint& point) noexcept
{
    return Guarded([&] {
        std::vector<std::uint32_t> five;
        if (!ReadFive(name, five))
            return false;
        if (five.empty())
            return true;
        point.x = static_cast<std::int32_t>(five[0]);
        point.y = static_cast<std::int32_t>(five[1]);
        return true;
    });
}
