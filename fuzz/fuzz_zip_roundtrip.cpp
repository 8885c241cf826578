// Write-then-read round trips: the input is cut into entries (name, level, data, and
// an optional password for the whole archive), written into memory, read back and
// compared byte for byte. Whatever the writer accepts must read back unchanged.
#include "ZipContainer.h"
#include "ZipException.h"
#include "ZipMemoryFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Entry
{
    std::string name;
    int level = -1;
    std::string data;
};

// Takes the next `count` bytes, fewer at the end of the input.
std::string Take(const std::uint8_t*& data, std::size_t& size, std::size_t count)
{
    count = count < size ? count : size;
    std::string part(reinterpret_cast<const char*>(data), count);
    data += count;
    size -= count;
    return part;
}

std::uint8_t TakeByte(const std::uint8_t*& data, std::size_t& size)
{
    const std::string byte = Take(data, size, 1);
    return byte.empty() ? 0 : static_cast<std::uint8_t>(byte[0]);
}

// Names are made from the input but kept printable and unique, so the lookup of
// the read-back archive cannot confuse two entries.
std::vector<Entry> Split(const std::uint8_t* data, std::size_t size, std::string& password)
{
    const std::uint8_t flags = TakeByte(data, size);
    if (flags & 1)
        password = "pw" + std::to_string(flags);
    std::vector<Entry> entries;
    while (size > 0 && entries.size() < 16) {
        Entry entry;
        entry.level = static_cast<int>(TakeByte(data, size) % 11) - 1;
        entry.name = "e" + std::to_string(entries.size()) + "_" +
                     std::to_string(TakeByte(data, size)) + ".bin";
        const std::size_t length = TakeByte(data, size) * 37u;
        entry.data = Take(data, size, length);
        entries.push_back(std::move(entry));
    }
    return entries;
}

void Write(CZipMemoryFile& memory, const std::vector<Entry>& entries, const std::string& password)
{
    CZipContainer zip;
    if (!zip.Open(memory, CZipContainer::ArcCreate) || !zip.SetPassword(password))
        std::abort();
    for (const Entry& entry : entries) {
        CZipEntryHeader header;
        header.m_fileName = entry.name;
        header.m_externalAttr = 0x81A40020;
        header.SetTime(0x60000000);
        if (!zip.OpenNewFile(header, entry.level))
            std::abort();
        zip.WriteNewFile(entry.data.data(), static_cast<std::uint32_t>(entry.data.size()));
        zip.CloseNewFile();
    }
    zip.Close();
}

void ReadBack(CZipMemoryFile& memory, const std::vector<Entry>& entries,
              const std::string& password)
{
    memory.SeekToBegin();
    CZipContainer zip;
    if (!zip.Open(memory, CZipContainer::ArcOpenReadOnly) || !zip.SetPassword(password))
        std::abort();
    if (zip.GetCount() != entries.size())
        std::abort();
    for (const Entry& entry : entries) {
        const int index = zip.FindFile(entry.name, 1);
        if (index < 0 || !zip.OpenFile(index))
            std::abort();
        std::string read(entry.data.size() + 1, '\0');
        std::size_t got = 0;
        while (std::uint32_t n =
                   zip.ReadFile(read.data() + got, static_cast<std::uint32_t>(read.size() - got)))
            got += n;
        if (got != entry.data.size() || read.compare(0, got, entry.data) != 0)
            std::abort();
        if (zip.CloseFile() != 1)
            std::abort();
    }
    zip.Close();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string password;
    const std::vector<Entry> entries = Split(data, size, password);
    CZipMemoryFile memory;
    try {
        Write(memory, entries, password);
        ReadBack(memory, entries, password);
    } catch (const CZipException&) {
        std::abort(); // nothing here is bad input: any archive error is a fault
    }
    return 0;
}
