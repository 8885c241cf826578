#include "TbmListCommand.h"

#include "TbmArchive.h"
#include "TbmConsole.h"
#include "TbmExitCodes.h"
#include "TbmJson.h"
#include "TbmOptions.h"
#include "TbmTerminalText.h"
#include "ZipException.h"

#include <cstdio>
#include <ctime>
#include <ostream>

namespace {

std::string FormatTime(std::time_t time)
{
    std::tm parts{};
    localtime_r(&time, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    return text;
}

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

void WriteJson(CZipContainer& zip, std::ostream& out)
{
    out << "[";
    for (std::size_t i = 0; i < zip.GetCount(); ++i) {
        CZipEntryHeader header;
        zip.GetFileInfo(header, static_cast<int>(i));
        out << (i ? ",\n " : "\n ")
            << "{\"name\": " << CTbmJson::Quote(CTbmArchive::EntryName(header))
            << ", \"size\": " << header.m_uncompressedSize
            << ", \"compressed_size\": " << header.m_compressedSize << ", \"time\": \""
            << FormatTime(header.GetTime()) << "\", \"crc\": \"" << Hex(header.m_crc)
            << "\", \"directory\": " << (header.IsDirectory() ? "true" : "false")
            << ", \"encrypted\": " << (header.IsEncrypted() ? "true" : "false")
            << ", \"encryption\": \"" << CTbmArchive::EncryptionName(header) << "\"}";
    }
    out << "\n]\n";
}

void WriteTable(CZipContainer& zip, std::ostream& out)
{
    char line[96];
    std::snprintf(line, sizeof line, "%12s %12s  %-19s  %-8s  %s\n", "Size", "Compressed", "Time",
                  "CRC", "Name");
    out << line;
    std::uint64_t size = 0;
    std::uint64_t packed = 0;
    for (std::size_t i = 0; i < zip.GetCount(); ++i) {
        CZipEntryHeader header;
        zip.GetFileInfo(header, static_cast<int>(i));
        std::snprintf(line, sizeof line, "%12llu %12llu  %-19s  %-8s  ",
                      static_cast<unsigned long long>(header.m_uncompressedSize),
                      static_cast<unsigned long long>(header.m_compressedSize), FormatTime(header.GetTime()).c_str(),
                      Hex(header.m_crc).c_str());
        out << line << CTbmTerminalText::Escape(CTbmArchive::EntryName(header)) << "\n";
        size += header.m_uncompressedSize;
        packed += header.m_compressedSize;
    }
    out << zip.GetCount() << " entries, " << size << " bytes (" << packed << " compressed)\n";
}

} // namespace

int CTbmListCommand::Run(const CTbmOptions& options, std::ostream& out)
{
    CTbmArchive archive;
    try {
        archive.Open(options.m_strArchive);
        if (options.m_bJson)
            WriteJson(archive.Zip(), out);
        else
            WriteTable(archive.Zip(), out);
    } catch (const CZipException& e) {
        CTbmConsole::Get().Write(
            "tbm: " + CTbmTerminalText::Escape(options.m_strArchive + ": " + e.what()) + "\n");
        return tbmexit::kFailed;
    }
    out.flush();
    return out ? tbmexit::kSuccess : tbmexit::kFailed;
}
