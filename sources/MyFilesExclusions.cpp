#include "MyFilesExclusions.h"

#include "ZipSafeSave.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

bool CMyFilesExclusions::Identify(const std::string& path, Identity& identity)
{
    struct stat st
    {
    };
    if (path.empty() || stat(path.c_str(), &st) != 0)
        return false;
    identity = {st.st_dev, st.st_ino};
    return true;
}

void CMyFilesExclusions::Clear()
{
    *this = CMyFilesExclusions();
}

void CMyFilesExclusions::Set(const std::string& outputPath, const std::string& workFolder)
{
    Clear();
    Identity identity{};
    if (Identify(workFolder, identity))
        m_Folders.push_back(identity);
    if (outputPath.empty())
        return;
    const std::size_t slash = outputPath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : outputPath.substr(0, slash + 1);
    m_strOutputName = slash == std::string::npos ? outputPath : outputPath.substr(slash + 1);
    m_bHasOutputFolder = Identify(folder, m_OutputFolder);
    m_bHasOutputFile = Identify(outputPath, m_OutputFile);
}

bool CMyFilesExclusions::IsExcludedFolder(dev_t device, ino_t inode) const
{
    return std::find(m_Folders.begin(), m_Folders.end(), Identity{device, inode}) !=
           m_Folders.end();
}

bool CMyFilesExclusions::IsExcludedFile(dev_t folderDevice, ino_t folderInode,
                                        const std::string& name, dev_t device, ino_t inode) const
{
    if (m_bHasOutputFile && m_OutputFile == Identity{device, inode})
        return true;
    if (!m_bHasOutputFolder || m_OutputFolder != Identity{folderDevice, folderInode})
        return false;
    // A run in progress (or one that was killed) writes beside the output under a
    // temporary name of its own.
    return name == m_strOutputName || IsVolumeName(name, m_strOutputName) ||
           CZipSafeSave::IsTemporaryName(m_strOutputName, name);
}

bool CMyFilesExclusions::IsVolumeName(const std::string& name, const std::string& outputName)
{
    const std::size_t dot = outputName.find_last_of('.');
    const std::string stem = dot == std::string::npos ? outputName : outputName.substr(0, dot);
    if (name.size() < stem.size() + 4 || name.compare(0, stem.size(), stem) != 0 ||
        name[stem.size()] != '.')
        return false;
    const std::string digits = name.substr(stem.size() + 1);
    return std::all_of(digits.begin(), digits.end(),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}
