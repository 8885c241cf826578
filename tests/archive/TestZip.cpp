#include "TestZip.h"

#include <zlib.h>

#include <cstdlib>

namespace tbmtest {

std::string Le16(std::uint16_t value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string Le32(std::uint32_t value)
{
    return Le16(static_cast<std::uint16_t>(value & 0xFFFF)) +
           Le16(static_cast<std::uint16_t>(value >> 16));
}

std::uint32_t Crc(const std::string& data)
{
    return static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0),
                                            reinterpret_cast<const Bytef*>(data.data()),
                                            static_cast<uInt>(data.size())));
}

std::string SpannedEntry(const std::string& name, const std::string& data, std::uint16_t extraFlags)
{
    const auto size = static_cast<std::uint32_t>(data.size());
    return Le32(0x04034B50) + Le16(10) + Le16(static_cast<std::uint16_t>(0x0008 | extraFlags)) +
           Le16(0) + Le16(0x6000) + Le16(0x5821) + Le32(0) + Le32(0) + Le32(0) +
           Le16(static_cast<std::uint16_t>(name.size())) + Le16(0) + name + data +
           Le32(0x08074B50) + Le32(Crc(data)) + Le32(size) + Le32(size);
}

std::string CentralRecord(const std::string& name, const std::string& data, std::uint16_t flags,
                          std::uint32_t offset, std::uint16_t volume)
{
    const auto size = static_cast<std::uint32_t>(data.size());
    return Le32(0x02014B50) + Le16(0x0314) + Le16(10) + Le16(flags) + Le16(0) + Le16(0x6000) +
           Le16(0x5821) + Le32(Crc(data)) + Le32(size) + Le32(size) +
           Le16(static_cast<std::uint16_t>(name.size())) + Le16(0) + Le16(0) + Le16(volume) +
           Le16(0) + Le32(0x81A40000) + Le32(offset) + name;
}

std::string EndRecord(std::uint16_t thisVolume, std::uint16_t directoryVolume,
                      std::uint16_t recordsHere, std::uint16_t records, std::uint32_t size,
                      std::uint32_t offset)
{
    return Le32(0x06054B50) + Le16(thisVolume) + Le16(directoryVolume) + Le16(recordsHere) +
           Le16(records) + Le32(size) + Le32(offset) + Le16(0);
}

std::string Pattern(std::size_t size, unsigned seed)
{
    std::string data(size, '\0');
    std::uint32_t state = seed * 2654435761u + 1;
    for (char& c : data) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    return data;
}

bool UnzipAvailable()
{
    return std::system("command -v unzip >/dev/null 2>&1") == 0;
}

bool UnzipTests(const std::string& path)
{
    const std::string command = "unzip -tq '" + path + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

} // namespace tbmtest
