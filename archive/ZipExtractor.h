#pragma once

#include "ZipEntryReader.h"
#include "ZipFolderSettings.h"

#include <cstdint>
#include <string>
#include <vector>

class CZipContainer;
class CZipEntryHeader;
class CZipExtractTarget;
class CZipProgressCallback;
class CZipReplacingFile;

// Extracts entries of an archive to files, links and folders. It opens and closes
// each entry through the archive object, so the archive counts it as open while
// it is written out, and reads the data through the archive's entry reader.
// Folders wait here for their mode and time until FinishFolders.
class CZipExtractor
{
public:
    CZipExtractor(CZipContainer& archive, CZipEntryReader& reader)
        : m_archive(archive), m_reader(reader)
    {
    }
    CZipExtractor(const CZipExtractor&) = delete;
    CZipExtractor& operator=(const CZipExtractor&) = delete;

    // As CZipContainer::ExtractFile, which forwards here.
    bool ExtractFile(int index, const std::string& folder, bool fullPath,
                     const std::string& newName, std::uint32_t bufferSize);
    std::vector<std::string> FinishFolders();
    static std::string PredictExtractedName(const std::string& entryName, const std::string& folder,
                                            bool fullPath, const std::string& newName);

private:
    void ExtractFolder(const CZipExtractTarget& target, const CZipEntryHeader& header);
    int ReadWhole(const CZipEntryReader::ChunkSink& sink, std::uint32_t bufferSize,
                  CZipProgressCallback* callback, int& abortCode);
    int ExtractDataTo(CZipReplacingFile& replacement, const CZipEntryHeader& header,
                      std::uint32_t bufferSize, CZipProgressCallback* callback, int& abortCode);
    int ExtractLinkTo(CZipReplacingFile& replacement, const CZipEntryHeader& header,
                      std::uint32_t bufferSize, CZipProgressCallback* callback, int& abortCode);

    CZipContainer& m_archive;
    CZipEntryReader& m_reader;
    // Extracted folders waiting for their mode and time.
    CZipFolderSettings m_folderSettings;
};
