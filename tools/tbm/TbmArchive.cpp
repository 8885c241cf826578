#include "TbmArchive.h"

#include "Prompt.h"
#include "ZipException.h"
#include "ZipExtraField.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

void CTbmArchive::Open(const std::string& path)
{
    struct stat st
    {
    };
    // A clear "no such file" beats the store's search for volumes of a missing name.
    if (stat(path.c_str(), &st) != 0)
        throw CZipException::FromErrno(errno, path);
    if (!S_ISREG(st.st_mode))
        throw CZipException::FromErrno(EISDIR, path);
    m_path = path;
    m_zip.Open(path, CZipContainer::ArcOpenReadOnly, kFixedVolumesHint);
}

CZipEntryWorkers::Opener CTbmArchive::WorkerOpener() const
{
    return [path = m_path, password = m_zip.GetPassword()](CZipContainer& archive) {
        archive.Open(path, CZipContainer::ArcOpenReadOnly, kFixedVolumesHint);
        archive.SetPassword(password);
    };
}

bool CTbmArchive::HasEncryptedEntries() const
{
    for (std::size_t i = 0; i < m_zip.GetCount(); ++i) {
        CZipEntryHeader header;
        if (m_zip.GetFileInfo(header, static_cast<int>(i)) && header.IsEncrypted())
            return true;
    }
    return false;
}

bool CTbmArchive::PreparePassword(const std::string& password, std::string& error)
{
    std::string chosen = password;
    if (chosen.empty()) {
        if (!HasEncryptedEntries())
            return true;
        if (!Prompt().AskPassword("The backup " + m_path + " is protected by a password.",
                                  chosen)) {
            error = "the backup is protected by a password: give --password-file or "
                    "--password-env";
            return false;
        }
    }
    if (!m_zip.SetPassword(chosen)) {
        error = "the password may only hold plain ASCII letters, digits and signs";
        return false;
    }
    return true;
}

std::string CTbmArchive::EntryName(const CZipEntryHeader& header)
{
    std::string name = header.m_fileName;
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

std::string CTbmArchive::EncryptionName(const CZipEntryHeader& header)
{
    if (!header.IsEncrypted())
        return "none";
    if (header.m_method != ZipExtraField::AesMethod)
        return "traditional";
    ZipExtraField::AesInfo info;
    if (!ZipExtraField::GetAes(header.m_extraField, info))
        return "unknown";
    return "aes" + std::to_string(64 + 64 * info.strength);
}
