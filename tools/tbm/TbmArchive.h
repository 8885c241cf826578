#pragma once

#include "ZipContainer.h"
#include "ZipEntryWorkers.h"

#include <string>

// A backup file opened for reading by list, verify and extract: a single ".tbm" or
// the last file of a volume set (title.000, title.001, ... beside it). Open throws
// CZipException; the messages name the file.
class CTbmArchive
{
public:
    // A non-zero size tells the store that a volume set lies in a folder, so it is
    // read from fixed files and never asks for disks.
    static constexpr int kFixedVolumesHint = 1;

    void Open(const std::string& path);
    // Sets `password` when given; otherwise, when an entry is encrypted, asks for one
    // through the prompt. False (with `error` set) when no usable password is there.
    bool PreparePassword(const std::string& password, std::string& error);
    bool HasEncryptedEntries() const;
    // The entry's name as ZIP tools show it, with "/" between its parts.
    static std::string EntryName(const CZipEntryHeader& header);
    // How the entry is encrypted: "none", "traditional", "aes128", "aes192" or
    // "aes256" (from its AES block), "unknown" for an AES entry whose block is unsound.
    static std::string EncryptionName(const CZipEntryHeader& header);

    CZipContainer& Zip() { return m_zip; }
    // Opens another archive object over the same file with the same password, for
    // the threads that test or extract entries.
    CZipEntryWorkers::Opener WorkerOpener() const;
    const std::string& GetPath() const { return m_path; }

private:
    CZipContainer m_zip;
    std::string m_path;
};
