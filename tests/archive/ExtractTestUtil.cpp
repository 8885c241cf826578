#include "ExtractTestUtil.h"

#include "TempDir.h"
#include "ZipAttributes.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tbmtest {

void WriteEntries(const std::string& path, const std::vector<EntrySpec>& entries)
{
    CZipContainer writer;
    ASSERT_TRUE(writer.Open(path, CZipContainer::ArcCreate));
    for (const EntrySpec& e : entries) {
        CZipEntryHeader header;
        header.m_fileName = e.name;
        header.m_externalAttr = e.mode << 16;
        if (!e.name.empty() && e.name.back() == '\\')
            header.m_externalAttr = (040755u << 16) | ZipAttributes::AttrDirectory;
        header.SetTime(EntryTime);
        ASSERT_TRUE(writer.OpenNewFile(header, e.level)) << e.name;
        writer.WriteNewFile(e.data.data(), static_cast<std::uint32_t>(e.data.size()));
        writer.CloseNewFile();
    }
    writer.Close();
}

std::vector<std::string> TemporaryLeftovers(const std::string& folder)
{
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(".tbm", 0) == 0)
            found.push_back(entry.path().string());
    }
    return found;
}

void FlipByte(const std::string& path, std::size_t offset)
{
    std::string bytes = ReadFileBytes(path);
    ASSERT_LT(offset, bytes.size());
    bytes[offset] = static_cast<char>(bytes[offset] ^ 0x55);
    WriteFileBytes(path, bytes);
}

std::size_t FirstDataOffset(const std::string& name)
{
    return 30 + name.size() + 9; // the extended timestamp every entry carries
}

} // namespace tbmtest
